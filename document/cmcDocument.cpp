#include "document/cmcDocument.h"

#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "core/cmcUndoHistory.h"
#include "core/imageDifference.h"
#include "core/modelIdentity.h"
#include "document/indCloneChecks.h"
#include "document/radioBase.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcFatal.h"
#include "platform/programPath.h"
#include "radio/EntryClipboard.h"
#include "radio/imagePreparation.h"

#include <QDir>
#include <QStandardPaths>

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

std::unique_ptr<cmcEeprom> newImage(std::int32_t size) {
    auto image = std::make_unique<cmcEeprom>();
    image->Resize(size);
    return image;
}

std::unique_ptr<cmcEeprom> copyOf(const cmcEeprom& other) {
    auto image = std::make_unique<cmcEeprom>();
    image->Assign(other);
    return image;
}

std::string startDirectory() {
    const std::string& last = cmcEnviron::App().CurrentDirectory;
    if (!last.empty())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return (documents.isEmpty() ? QDir::currentPath() : documents).toStdString();
}

} // namespace

std::string cmcDocument::AppTitle() {
    return cmcGTex::App().GetLine("GI_Sys_AppTitle", 0);
}

cmcDocument::cmcDocument(std::int32_t imageSize, const std::string& overlayBaseName)
    : imageSize_(imageSize), wholeImage_{{{0, imageSize - 1}, cmcRangeEnd}} {
    // The overlay file is only named here; it is opened on the first lookup.
    cmcGTex::App().SetFile(programFilesDir() + overlayBaseName + ".OVL");
    CurrentDirectory = startDirectory();

    cloneManager_ = std::make_unique<indCloneMan>();
    cloneWriter_ = cloneManager_.get();
    clipboard_ = std::make_unique<indEntryClipboard>();
    current_ = newImage(imageSize_);
    saved_ = newImage(imageSize_);
    history_ = std::make_unique<cmcUndoHistory>();
    reference_ = copyOf(*current_);
    comparison_ = copyOf(*reference_);
    Initialize();
}

cmcDocument::cmcDocument() : cmcDocument(marloModel::imageSize, marloModel::overlayBaseName) {}

cmcDocument::~cmcDocument() = default;

void cmcDocument::Initialize() {
    SetModelCode(0, 0);
    indInstallCloneChecks(*cloneManager_, *this);
}

void cmcDocument::SetModelCode(int first, int second) {
    modelCodeFirst_ = first;
    modelCodeSecond_ = second;
}

int cmcDocument::ImageRejected(const cmcEeprom&, bool) {
    return 1;
}

int cmcDocument::ImageNewer(const cmcEeprom&) {
    return 0;
}

void cmcDocument::AfterLoad(cmcEeprom&) {}

void cmcDocument::PrepareImage(cmcEeprom&, bool) {}

int cmcDocument::CanCloneWrite() {
    return 1;
}

void cmcDocument::StartCloneWrite(int code) {
    if (!PrepareDocumentForSending(code))
        return;
    dstCloneWriteImage send = MakeCloneWriteImage();
    SendImage(std::move(send.image), send.ranges);
}

dstCloneWriteImage cmcDocument::MakeCloneWriteImage() {
    return {copyOf(*current_), CloneRange()};
}

namespace {

bool sameRadio(const dstRadioBase& base, const dstRadioInfo& now) {
    if (base.radio && (base.radio->value1 != now.value1 || base.radio->value2 != now.value2 ||
                       base.radio->block != now.block))
        return false;
    return base.image.IsValidAddress(marloImageMap::variantAddress) &&
           base.image.GetByte(marloImageMap::variantAddress) == now.block[marloInfoBlock::variant];
}

// The bytes of the clone range that `ranges` leave out (the radio's identity),
// the same in both images.
bool sameUnwritten(const cmcEeprom& a, const cmcEeprom& b, cmcRangeList clone,
                   cmcRangeList ranges) {
    for (const cmcRange& r : cmcDifferingRanges(a, b, clone)) {
        for (std::int32_t address = r.first; address <= r.last; ++address) {
            bool written = false;
            cmcForEachRange(ranges, a.Size(), [&](std::int32_t first, std::int32_t last) {
                written = written || (address >= first && address <= last);
            });
            if (!written)
                return false;
        }
    }
    return true;
}

} // namespace

cmcDocument::ChangesStart cmcDocument::StartCloneWriteChanges(int code,
                                                              const ChangesConfirm& confirm) {
    if (code != 0 || cloneWriter_->IsBusy())
        return ChangesStart::NotStarted;
    if (!radioBase_ || !sameRadio(*radioBase_, RadioInfo))
        return ChangesStart::OtherRadio;
    if (!PrepareDocumentForSending(code))
        return ChangesStart::NotStarted;
    dstCloneWriteImage send = MakeCloneWriteImage();
    if (!sameUnwritten(radioBase_->image, *send.image, CloneRange(), send.ranges))
        return ChangesStart::OtherRadio;
    dstChangedBlocks changes = cmcChangedBlocks(*send.image, radioBase_->image, send.ranges);
    if (changes.Empty())
        return ChangesStart::NothingDiffers;
    if (confirm && !confirm(changes))
        return ChangesStart::Declined;
    sending_ = std::move(send.image);
    changesSent_ = std::move(changes);
    const bool started =
        cmcWriteChangedBlocks(*cloneWriter_, *sending_, changesSent_, [this](int result) {
            if (result == 0 && radioBase_) {
                cmcApplyChangedBlocks(radioBase_->image, *sending_, changesSent_);
                radioBase_->radio = RadioInfo;
            } else {
                ForgetRadioBase();
            }
            CloneWriteDone(result);
        });
    return started ? ChangesStart::Sending : ChangesStart::NotStarted;
}

void cmcDocument::SetCloneWriter(cmcCloneWriter* writer) {
    cloneWriter_ = writer != nullptr ? writer : cloneManager_.get();
}

bool cmcDocument::PrepareDocumentForSending(int code) {
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

void cmcDocument::SendImage(std::unique_ptr<cmcEeprom> image, cmcRangeList ranges) {
    sending_ = std::move(image);
    cloneWriter_->StartWrite(*sending_, ranges, [this](int code) {
        if (code == 0)
            SetRadioBase(*sending_, RadioInfo);
        else
            ForgetRadioBase();
        CloneWriteDone(code);
    });
}

void cmcDocument::SetRadioBase(const cmcEeprom& image, const dstRadioInfo& radio) {
    SetRadioBase(image);
    radioBase_->radio = radio;
}

void cmcDocument::SetRadioBase(const cmcEeprom& image) {
    auto base = std::make_unique<dstRadioBase>();
    base->image.Assign(image);
    radioBase_ = std::move(base);
}

void cmcDocument::ForgetRadioBase() {
    radioBase_.reset();
}

void cmcDocument::CloneWriteDone(int code) {
    if (code != 0)
        return;
    // The write prepared the document: the box must stand over what was sent.
    ShowDocumentAfresh();
    ShowMessage(cmcGTex::App().GetText("GI_Mess_CloneWrite_Succeeded"), PromptIcon::Information);
}

bool cmcDocument::MapRevisionAccepted(int) {
    return false;
}

void cmcDocument::CheckWarnings(int& errors, int& warnings) {
    errors = 0;
    warnings = 0;
}

int cmcDocument::VariantCount() const {
    return 1;
}

cmcRangeList cmcDocument::CloneRange() const {
    return wholeImage_;
}

std::int32_t cmcDocument::CatalogueExtent() const {
    return 0;
}

int cmcDocument::MapRevision() const {
    return -1;
}

int cmcDocument::ModelVariant() const {
    return cmcEnviron::App().ModelType;
}

void cmcDocument::ChangeModel(int variant, bool confirm) {
    // An image may carry any variant byte; only the model's variants have files.
    if (variant == ModelVariant() || variant < 0 || variant >= VariantCount())
        return;
    if (confirm && cmcPrompter::current().message(
                       AppTitle(), cmcGTex::App().GetText("GI_AppMess_ChangeModel"),
                       PromptIcon::Warning, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    cmcEnviron::App().ModelType = static_cast<std::uint8_t>(variant);
    LoadReference(variant);
    if (confirm) {
        current_->Assign(*reference_);
        StartFreshHistory(true);
        SetDocumentName({});
    }
    ModelChanged();
}

cmcVcfFile::Code cmcDocument::OpenImage(const std::string& path, cmcEeprom& image) {
    auto work = newImage(imageSize_);
    cmcVcfFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    cmcVcfFile::Code code = file.Load(path);
    if (code != cmcVcfFile::Ok)
        return code; // Load has shown its box
    if (ImageRejected(*work, false) != 0)
        code = cmcVcfFile::Data;
    else if (ImageNewer(*work) != 0)
        code = cmcVcfFile::Newer;
    else
        code = file.CheckCoverage(CloneRange());
    cmcVcfFile::ShowMessage(code, path);
    if (code == cmcVcfFile::Ok)
        image.Assign(*work);
    return code;
}

void cmcDocument::LoadReference(int variant) {
    const std::string path =
        programFilesDir() + cmcGTex::App().GetLine("GI_App_InitialFile", variant);
    // A fresh image, so that nothing of the previous variant's file survives.
    auto work = newImage(imageSize_);
    cmcVcfFile file;
    file.BindImage(*work);
    file.SetModelCode(modelCodeFirst_, modelCodeSecond_);
    file.SetMapRevisionCheck([this](int revision) { return MapRevisionAccepted(revision); });
    if (file.Load(path, CloneRange()) != cmcVcfFile::Ok || ImageRejected(*work, false))
        cmcFatal("Cannot open '" + path + "'.");
    reference_->Assign(*work);
    PrepareImage(*reference_, false);
}

void cmcDocument::StartFromInitialFile() {
    cmcEnviron& settings = cmcEnviron::App();
    if (settings.ModelType >= VariantCount())
        settings.ModelType = 0;
    LoadReference(ModelVariant());
    current_->Assign(*reference_);
    StartFreshHistory(true);
    comparison_->Assign(*reference_);
}

bool cmcDocument::UpdateModified() {
    if (!modified_ && current_->Differs(*saved_)) {
        modified_ = true;
        RefreshCaption();
    }
    return modified_;
}

void cmcDocument::TakeSaved() {
    saved_->Assign(*current_);
    modified_ = false;
    history_->MarkSaved(*current_);
    RefreshCaption();
}

void cmcDocument::SetModified() {
    modified_ = true;
    RefreshCaption();
}

std::string cmcDocument::DocumentPath() const {
    return documentName_.empty() ? InCurrentDirectory("Untitled") : documentName_;
}

std::string cmcDocument::InCurrentDirectory(const std::string& fileName) const {
    return withDelimiter(CurrentDirectory) + fileName;
}

std::string cmcDocument::DocumentTitle() const {
    return fileNamePart(DocumentPath());
}

void cmcDocument::SetDocumentName(const std::string& name) {
    documentName_ = name;
    RefreshCaption();
}

void cmcDocument::RefreshCaption() {
    CaptionChanged();
}

void cmcDocument::ShowMessage(const std::string& text, PromptIcon icon) {
    cmcPrompter::current().message(AppTitle(), text, icon, PromptButtons::Ok);
}
