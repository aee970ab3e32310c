#include "document/document.h"

#include "clone/cloneFileSave.h"
#include "clone/cloneManager.h"
#include "core/imageDifference.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/settingsStore.h"
#include "core/undoHistory.h"
#include "document/cloneChecks.h"
#include "document/radioBase.h"
#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "platform/programPath.h"
#include "radio/imagePreparation.h"
#include "radio/rowClipboard.h"

#include <QDir>
#include <QStandardPaths>

namespace marlo {

namespace {

std::string fileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withDelimiter(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::unique_ptr<MemoryImage> newImage(std::int32_t size) {
    auto image = std::make_unique<MemoryImage>();
    image->Resize(size);
    return image;
}

std::unique_ptr<MemoryImage> copyOf(const MemoryImage& other) {
    auto image = std::make_unique<MemoryImage>();
    image->Assign(other);
    return image;
}

std::string startDirectory() {
    const std::string& last = SettingsStore::App().CurrentDirectory;
    if (!last.empty())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return (documents.isEmpty() ? QDir::currentPath() : documents).toStdString();
}

} // namespace

std::string Document::AppTitle() {
    return OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0);
}

Document::Document(std::int32_t imageSize, const std::string& overlayBaseName)
    : imageSize_(imageSize), wholeImage_{{{0, imageSize - 1}, kRangeEnd}} {
    // The overlay file is only named here; it is opened on the first lookup.
    OverlayTexts::App().SetFile(programFilesDir() + overlayBaseName + ".OVL");
    CurrentDirectory = startDirectory();

    cloneManager_ = std::make_unique<marlo::CloneManager>();
    cloneWriter_ = cloneManager_.get();
    clipboard_ = std::make_unique<ProgramRowClipboard>();
    current_ = newImage(imageSize_);
    saved_ = newImage(imageSize_);
    history_ = std::make_unique<UndoHistory>();
    reference_ = copyOf(*current_);
    comparison_ = copyOf(*reference_);
    Initialize();
}

Document::Document() : Document(marloModel::imageSize, marloModel::overlayBaseName) {}

Document::~Document() = default;

void Document::Initialize() {
    SetModelCode(0, 0);
    installCloneChecks(*cloneManager_, *this);
}

void Document::SetModelCode(int first, int second) {
    modelCodeFirst_ = first;
    modelCodeSecond_ = second;
}

int Document::ImageRejected(const MemoryImage&, bool) {
    return 1;
}

int Document::ImageNewer(const MemoryImage&) {
    return 0;
}

void Document::AfterLoad(MemoryImage&) {}

void Document::PrepareImage(MemoryImage&, bool) {}

int Document::CanCloneWrite() {
    return 1;
}

void Document::StartCloneWrite(int code) {
    if (!PrepareDocumentForSending(code))
        return;
    CloneWriteImage send = MakeCloneWriteImage();
    SendImage(std::move(send.image), send.ranges);
}

CloneWriteImage Document::MakeCloneWriteImage() {
    return {copyOf(*current_), CloneRange()};
}

namespace {

bool sameRadio(const marlo::RadioBase& base, const RadioInfo& now) {
    if (base.radio && (base.radio->value1 != now.value1 || base.radio->value2 != now.value2 ||
                       base.radio->block != now.block))
        return false;
    return base.image.IsValidAddress(marloImageMap::variantAddress) &&
           base.image.GetByte(marloImageMap::variantAddress) == now.block[marloInfoBlock::variant];
}

// The bytes of the clone range that `ranges` leave out (the radio's identity),
// the same in both images.
bool sameUnwritten(const MemoryImage& a, const MemoryImage& b, RangeList clone, RangeList ranges) {
    for (const AddressRange& r : differingRanges(a, b, clone)) {
        for (std::int32_t address = r.first; address <= r.last; ++address) {
            bool written = false;
            forEachRange(ranges, a.Size(), [&](std::int32_t first, std::int32_t last) {
                written = written || (address >= first && address <= last);
            });
            if (!written)
                return false;
        }
    }
    return true;
}

} // namespace

Document::ChangesStart Document::StartCloneWriteChanges(int code, const ChangesConfirm& confirm) {
    if (code != 0 || cloneWriter_->IsBusy())
        return ChangesStart::NotStarted;
    if (!radioBase_ || !sameRadio(*radioBase_, LastRadioInfo))
        return ChangesStart::OtherRadio;
    if (!PrepareDocumentForSending(code))
        return ChangesStart::NotStarted;
    CloneWriteImage send = MakeCloneWriteImage();
    if (!sameUnwritten(radioBase_->image, *send.image, CloneRange(), send.ranges))
        return ChangesStart::OtherRadio;
    ChangedBlocks changes = changedBlocksBetween(*send.image, radioBase_->image, send.ranges);
    if (changes.Empty())
        return ChangesStart::NothingDiffers;
    if (confirm && !confirm(changes))
        return ChangesStart::Declined;
    sending_ = std::move(send.image);
    changesSent_ = std::move(changes);
    const bool started =
        writeChangedBlocks(*cloneWriter_, *sending_, changesSent_, [this](int result) {
            if (result == 0 && radioBase_) {
                applyChangedBlocks(radioBase_->image, *sending_, changesSent_);
                radioBase_->radio = LastRadioInfo;
            } else {
                ForgetRadioBase();
            }
            CloneWriteDone(result);
        });
    return started ? ChangesStart::Sending : ChangesStart::NotStarted;
}

void Document::SetCloneWriter(CloneWriter* writer) {
    cloneWriter_ = writer != nullptr ? writer : cloneManager_.get();
}

bool Document::PrepareDocumentForSending(int code) {
    if (code != 0 || cloneWriter_->IsBusy())
        return false;
    cloneWriter_->SetImageSize(imageSize_);
    const bool wasModified = UpdateModified();
    const auto before = copyOf(*current_);
    PrepareImage(*current_, true);
    history_->Amend(*before, *current_);
    // The preparation alone must not make the document modified.
    if (!wasModified)
        TakeSaved();
    return true;
}

void Document::SendImage(std::unique_ptr<MemoryImage> image, RangeList ranges) {
    sending_ = std::move(image);
    cloneWriter_->StartWrite(*sending_, ranges, [this](int code) {
        if (code == 0)
            SetRadioBase(*sending_, LastRadioInfo);
        else
            ForgetRadioBase();
        CloneWriteDone(code);
    });
}

void Document::SetRadioBase(const MemoryImage& image, const RadioInfo& radio) {
    SetRadioBase(image);
    radioBase_->radio = radio;
}

void Document::SetRadioBase(const MemoryImage& image) {
    auto base = std::make_unique<marlo::RadioBase>();
    base->image.Assign(image);
    radioBase_ = std::move(base);
}

void Document::ForgetRadioBase() {
    radioBase_.reset();
}

void Document::CloneWriteDone(int code) {
    if (code != 0)
        return;
    // The write prepared the document: the box must stand over what was sent.
    ShowDocumentAfresh();
    ShowMessage(OverlayTexts::App().GetText("GI_Mess_CloneWrite_Succeeded"),
                PromptIcon::Information);
}

bool Document::MapRevisionAccepted(int) {
    return false;
}

void Document::CheckWarnings(int& errors, int& warnings) {
    errors = 0;
    warnings = 0;
}

int Document::VariantCount() const {
    return 1;
}

RangeList Document::CloneRange() const {
    return wholeImage_;
}

std::int32_t Document::CatalogueExtent() const {
    return 0;
}

int Document::MapRevision() const {
    return -1;
}

int Document::ModelVariant() const {
    return SettingsStore::App().ModelType;
}

void Document::ChangeModel(int variant, bool confirm) {
    // An image may carry any variant byte; only the model's variants have files.
    if (variant == ModelVariant() || variant < 0 || variant >= VariantCount())
        return;
    if (confirm && Prompter::Current().Message(
                       AppTitle(), OverlayTexts::App().GetText("GI_AppMess_ChangeModel"),
                       PromptIcon::Warning, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    SettingsStore::App().ModelType = static_cast<std::uint8_t>(variant);
    LoadReference(variant);
    if (confirm) {
        current_->Assign(*reference_);
        StartFreshHistory(true);
        SetDocumentName({});
    }
    ModelChanged();
}

CloneFile::Code Document::SavePreparedCopy(const MemoryImage& image, const std::string& path,
                                           MemoryImage& prepared) {
    prepared.Assign(image);
    PrepareImage(prepared, true);
    CloneFile file;
    file.BindImage(prepared);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevision(MapRevision());
    file.SetComment(documentComment(prepared));
    return file.Save(path, CloneRange());
}

CloneFile::Code Document::OpenImage(const std::string& path, MemoryImage& image) {
    auto work = newImage(imageSize_);
    CloneFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    CloneFile::Code code = file.Load(path);
    if (code != CloneFile::Ok)
        return code; // Load has shown its box
    if (ImageRejected(*work, false) != 0)
        code = CloneFile::Data;
    else if (ImageNewer(*work) != 0)
        code = CloneFile::Newer;
    else
        code = file.CheckCoverage(CloneRange());
    CloneFile::ShowMessage(code, path);
    if (code == CloneFile::Ok)
        image.Assign(*work);
    return code;
}

void Document::LoadReference(int variant) {
    const std::string path =
        programFilesDir() + OverlayTexts::App().GetLine("GI_App_InitialFile", variant);
    // A fresh image, so that nothing of the previous variant's file survives.
    auto work = newImage(imageSize_);
    CloneFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    if (file.Load(path, CloneRange()) != CloneFile::Ok || ImageRejected(*work, false))
        fatalError("Cannot open '" + path + "'.");
    reference_->Assign(*work);
    PrepareImage(*reference_, false);
}

void Document::StartFromInitialFile() {
    SettingsStore& settings = SettingsStore::App();
    if (settings.ModelType >= VariantCount())
        settings.ModelType = 0;
    LoadReference(ModelVariant());
    current_->Assign(*reference_);
    StartFreshHistory(true);
    comparison_->Assign(*reference_);
}

bool Document::UpdateModified() {
    if (!modified_ && current_->Differs(*saved_)) {
        modified_ = true;
        RefreshCaption();
    }
    return modified_;
}

void Document::TakeSaved() {
    saved_->Assign(*current_);
    modified_ = false;
    history_->MarkSaved(*current_);
    RefreshCaption();
}

void Document::SetModified() {
    modified_ = true;
    RefreshCaption();
}

std::string Document::DocumentPath() const {
    return documentName_.empty() ? InCurrentDirectory("Untitled") : documentName_;
}

std::string Document::InCurrentDirectory(const std::string& fileName) const {
    return withDelimiter(CurrentDirectory) + fileName;
}

std::string Document::DocumentTitle() const {
    return fileNamePart(DocumentPath());
}

void Document::SetDocumentName(const std::string& name) {
    documentName_ = name;
    RefreshCaption();
}

void Document::RefreshCaption() {
    CaptionChanged();
}

void Document::ShowMessage(const std::string& text, PromptIcon icon) {
    Prompter::Current().Message(AppTitle(), text, icon, PromptButtons::Ok);
}

} // namespace marlo
