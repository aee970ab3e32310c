// The clone file type a file manager sees, from the installed type definition:
// clone files by their header line, whatever their name; contact files that
// share the .vcf extension stay contacts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

namespace {

constexpr char cloneType[] = "application/x-marlo-clone";

TEST(CloneFileType, ClonesAreKnownByTheirHeaderAndContactsStayContacts) {
    // One database made of the system's types and this one, as installing the
    // definition makes it.
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const QString packages = data.filePath("mime/packages");
    ASSERT_TRUE(QDir().mkpath(packages));
    ASSERT_TRUE(QFile::copy("/usr/share/mime/packages/freedesktop.org.xml",
                            packages + "/freedesktop.org.xml"));
    ASSERT_TRUE(QFile::copy(MARLO_MIME_XML, packages + "/marlo.xml"));
    ASSERT_EQ(QProcess::execute("update-mime-database", {data.filePath("mime")}), 0);
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());

    const QByteArray clone = "26200001\r\n#Comment=Factory defaults, variant 0\r\n#MapRev=6\r\n"
                             "02B01000000000000000000000000000000000\r\n";
    const struct {
        const char* name;
        QByteArray content;
        const char* type;
    } cases[] = {
        {"radio.vcf", clone, cloneType},
        {"backup", clone, cloneType}, // no extension: the header alone
        {"unix.vcf", QByteArray(clone).replace("\r\n", "\n"), cloneType},
        {"contact.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A Person\r\nEND:VCARD\r\n", "text/vcard"},
        {"notes.vcf", "26200002\r\n#Comment=another model\r\n", "text/vcard"},
    };
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    QMimeDatabase types;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(files.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        const QMimeType found = types.mimeTypeForFile(file.fileName());
        EXPECT_TRUE(found.name() == c.type || found.aliases().contains(c.type))
            << found.name().toStdString();
    }
}

} // namespace
