#include "tools/radiosim/radioSim.h"

#include "core/cloneFile.h"
#include "core/cloneFileCheck.h"
#include "core/modelIdentity.h"
#include "tools/radiosim/radioSimLine.h"
#include "tools/radiosim/radioSimRadio.h"

#include <array>

namespace marlo {

namespace {

constexpr std::int32_t variantAddress = 0x02B1;
constexpr std::int32_t makerSignatureAddress = 0x6C2C;
constexpr char makerSignature[] = "VEXA Inc";
constexpr char comment[] = "MARLO SIMULATOR 0001";
constexpr std::uint8_t hardwareRevision = 0x10;

constexpr std::array<RadioSim::FaultInfo, 22> faultTable{{
    {RadioSim::Fault::None, "none", "a healthy radio"},
    {RadioSim::Fault::NoEcho, "no-echo", "nothing comes back, not even the echo"},
    {RadioSim::Fault::EchoOnly, "echo-only", "the echo returns, the radio never answers"},
    {RadioSim::Fault::ChangedEcho, "changed-echo", "one echoed byte of every frame is altered"},
    {RadioSim::Fault::ShortReply, "short-reply", "the information reply stops after 7 bytes"},
    {RadioSim::Fault::MalformedReply, "malformed-reply",
     "the information reply's model code is not decimal"},
    {RadioSim::Fault::WrongModel, "wrong-model", "the radio reports model code 2621"},
    {RadioSim::Fault::WrongSecond, "wrong-second", "the radio reports second value 0002"},
    {RadioSim::Fault::WrongVariant, "wrong-variant", "the radio reports the other variant"},
    {RadioSim::Fault::ShortInfo, "short-info", "the information block has 31 bytes"},
    {RadioSim::Fault::BadChecksum, "bad-checksum", "read: a data frame with a wrong checksum"},
    {RadioSim::Fault::LowerCaseHex, "lower-case-hex", "read: a data frame in lower-case hex"},
    {RadioSim::Fault::CountMismatch, "count-mismatch",
     "read: a data frame whose count disagrees with its length"},
    {RadioSim::Fault::FramePastImage, "frame-past-image",
     "read: a data frame addressed past the end of memory"},
    {RadioSim::Fault::FrameOutsideRange, "frame-outside-range",
     "read: an extra data frame outside the read range"},
    {RadioSim::Fault::MissingFrame, "missing-frame", "read: one data frame is left out"},
    {RadioSim::Fault::WrongEndCount, "wrong-end-count",
     "read: the end frame counts one frame less"},
    {RadioSim::Fault::RefusedWrite, "refused-write", "write: the radio answers E6 01"},
    {RadioSim::Fault::SlowReply, "slow-reply", "every answer starts 1500 ms late"},
    {RadioSim::Fault::TwoFrames, "two-frames",
     "a wrong frame and the right one arrive in one burst"},
    {RadioSim::Fault::Flood, "flood", "the answer is one over-long frame of garbage"},
    {RadioSim::Fault::HangUp, "hang-up",
     "the line drops mid-transfer, as a pulled cable; it comes back under a new name"},
}};

} // namespace

std::span<const RadioSim::FaultInfo> RadioSim::Faults() {
    return faultTable;
}

std::optional<RadioSim::Fault> RadioSim::FaultFromName(std::string_view name) {
    for (const FaultInfo& info : faultTable) {
        if (info.name == name)
            return info.fault;
    }
    return std::nullopt;
}

RadioSim::RadioSim()
    : mapRevision_(marloModel::mapRevision), modelFirst_(marloModel::modelCodeFirst),
      modelSecond_(marloModel::modelCodeSecond), readRange_(marloModel::cloneRange[0]),
      line_(std::make_unique<Line>(*this)), radio_(std::make_unique<Radio>(*this)) {
    image_.Resize(marloModel::imageSize);
    image_.Fill(0xFF);
    image_.SetByte(marloModel::mapRevisionAddress, static_cast<std::uint8_t>(mapRevision_));
    image_.SetByte(variantAddress, 0);
    image_.Write(makerSignatureAddress, reinterpret_cast<const std::uint8_t*>(makerSignature),
                 sizeof makerSignature - 1);
}

RadioSim::~RadioSim() {
    Stop();
}

bool RadioSim::Start() {
    errorText_.clear();
    radio_->Reset();
    return line_->Open();
}

void RadioSim::Stop() {
    line_->Close();
    radio_->Reset();
}

bool RadioSim::IsRunning() const {
    return line_->IsOpen();
}

void RadioSim::SetClock(TimeoutClock clock, int rate) {
    clock_ = clock;
    clockStart_ = clock != nullptr ? clock() : 0;
    timeScale_ = clock != nullptr && rate > 0 ? rate : 1;
}

void RadioSim::SetImage(const MemoryImage& image) {
    image_.Resize(image.Size());
    image_.Assign(image);
}

bool RadioSim::LoadImage(const std::string& path) {
    MemoryImage loaded;
    if (checkCloneFile(path, loaded) != CloneFile::Ok)
        return false;
    SetImage(loaded);
    return true;
}

bool RadioSim::DumpImage(const std::string& path) {
    CloneFile file;
    file.BindImage(image_);
    file.SetModelCode(modelFirst_, modelSecond_);
    file.SetComment("Written to the radio simulator");
    file.SetMapRevision(mapRevision_);
    return file.Save(path, marloModel::cloneRange) == CloneFile::Ok;
}

void RadioSim::SetFirmware(const std::string& firmware) {
    firmware_ = firmware.substr(0, 4);
    firmware_.resize(4, '0');
}

void RadioSim::SetModelCode(int first, int second) {
    modelFirst_ = first;
    modelSecond_ = second;
}

void RadioSim::SetReopenedCallback(std::function<void(const std::string&)> callback) {
    reopened_ = std::move(callback);
}

std::vector<std::uint8_t> RadioSim::InformationBlock() const {
    std::vector<std::uint8_t> block(32, 0);
    block[0] = static_cast<std::uint8_t>(block.size());
    block[1] = hardwareRevision;
    block[2] = static_cast<std::uint8_t>(mapRevision_);
    std::copy(comment, comment + 20, block.begin() + 3);
    const int variant = variant_.value_or(
        image_.IsValidAddress(variantAddress) ? image_.GetByte(variantAddress) : 0);
    block[23] = static_cast<std::uint8_t>(variant);
    std::copy(firmware_.begin(), firmware_.end(), block.begin() + 24);
    return block;
}

std::vector<std::uint8_t> RadioSim::InformationReply() const {
    std::vector<std::uint8_t> reply{0xFE,
                                    0xFE,
                                    0xEF,
                                    0xEE,
                                    0xE1,
                                    static_cast<std::uint8_t>(modelFirst_ >> 8),
                                    static_cast<std::uint8_t>(modelFirst_),
                                    static_cast<std::uint8_t>(modelSecond_ >> 8),
                                    static_cast<std::uint8_t>(modelSecond_)};
    const std::vector<std::uint8_t> block = InformationBlock();
    reply.insert(reply.end(), block.begin(), block.end());
    reply.push_back(0xFD);
    return reply;
}

} // namespace marlo
