#include "sheets/cmcEvMan.h"

#include "platform/cmcFatal.h"

#include <cstdint>

namespace {

constexpr int tickMs = 10;
cmcEvMan* appHub = nullptr;

cmcEvPayload copyBytes(const void* bytes, std::int32_t length) {
    if (bytes == nullptr || length <= 0)
        return std::nullopt;
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(p, p + length);
}

cmcEvPayload copyText(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace

std::string_view cmcEvMessage::Text() const {
    if (!payload)
        return {};
    const std::string_view all(reinterpret_cast<const char*>(payload->data()), payload->size());
    return all.substr(0, all.find('\0'));
}

void* cmcEvColourObject(std::uint32_t colour) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(colour));
}

std::uint32_t cmcEvObjectColour(const void* object) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(object));
}

cmcEvMan::cmcEvMan() : task_(cmcTask::Create()) {
    task_->SetCallback(&cmcEvMan::onTick, this);
    task_->SetInterval(tickMs);
}

cmcEvMan::~cmcEvMan() {
    Shutdown();
    if (appHub == this)
        appHub = nullptr;
}

void cmcEvMan::Subscribe(cmcEvCallback callback, void* context) {
    // Small numbers are not routines; they show up when a value is passed by mistake.
    if (shutDown_ || reinterpret_cast<std::uintptr_t>(callback) < 0x10000)
        return;
    Unsubscribe(callback, context);
    subscribers_.push_front(Subscriber{callback, context, false});
}

void cmcEvMan::Unsubscribe(cmcEvCallback callback, void* context) {
    for (Subscriber& s : subscribers_)
        if (s.callback == callback && s.context == context)
            s.removed = true;
}

void cmcEvMan::Send(std::uint8_t type, void* object, std::int32_t value) {
    deliver(cmcEvMessage{type, cmcEvMode::Immediate, object, value, std::nullopt});
}

void cmcEvMan::SendText(std::uint8_t type, void* object, std::int32_t value,
                        std::string_view text) {
    deliver(cmcEvMessage{type, cmcEvMode::Immediate, object, value, copyText(text)});
}

void cmcEvMan::Post(std::uint8_t type, void* object, std::int32_t value) {
    post(cmcEvMessage{type, cmcEvMode::Queued, object, value, std::nullopt});
}

void cmcEvMan::PostText(std::uint8_t type, void* object, std::int32_t value,
                        std::string_view text) {
    post(cmcEvMessage{type, cmcEvMode::Queued, object, value, copyText(text)});
}

void cmcEvMan::PostBytes(std::uint8_t type, const void* bytes, std::int32_t length) {
    post(cmcEvMessage{type, cmcEvMode::Queued, nullptr, 0, copyBytes(bytes, length)});
}

std::optional<cmcEvReply> cmcEvMan::Ask(std::uint8_t type, void* object, std::int32_t value,
                                        const void* bytes, std::int32_t length) {
    reply_.reset();
    deliver(cmcEvMessage{type, cmcEvMode::Ask, object, value, copyBytes(bytes, length)});
    return reply_;
}

void cmcEvMan::Reply(std::int32_t value, void* object, const void* bytes, std::int32_t length) {
    reply_ = cmcEvReply{value, object, copyBytes(bytes, length)};
}

void cmcEvMan::Shutdown() {
    shutDown_ = true;
    task_.reset();
    for (Subscriber& s : subscribers_)
        s.removed = true;
    for (Queued& q : queue_)
        q.delivered = true;
    reply_.reset();
    collect();
}

cmcEvMan& cmcEvMan::App() {
    if (appHub == nullptr)
        cmcFatal("No notification hub is installed.");
    return *appHub;
}

void cmcEvMan::SetApp(cmcEvMan* hub) {
    appHub = hub;
}

void cmcEvMan::onTick(void* context, cmcTask*) {
    static_cast<cmcEvMan*>(context)->deliverQueued();
}

void cmcEvMan::deliverQueued() {
    ++passes_;
    for (Queued& q : queue_)
        q.fresh = false;
    ++passDepth_;
    // Messages posted from here on are appended as fresh and skipped by this walk.
    for (Queued& q : queue_) {
        if (q.delivered || q.fresh)
            continue;
        q.delivered = true;
        deliver(q.message);
    }
    --passDepth_;
    collect();
}

void cmcEvMan::deliver(const cmcEvMessage& message) {
    ++passDepth_;
    for (const Subscriber& s : subscribers_)
        if (!s.removed)
            s.callback(s.context, message);
    --passDepth_;
    if (shutDown_)
        collect();
}

void cmcEvMan::post(cmcEvMessage message) {
    if (!shutDown_)
        queue_.push_back(Queued{std::move(message), false, true});
}

// Drops delivered messages and removed subscriptions, unless a delivery further up
// the stack (a callback running a nested event loop) is still walking the lists.
void cmcEvMan::collect() {
    if (passDepth_ > 0)
        return;
    queue_.remove_if([](const Queued& q) { return q.delivered; });
    subscribers_.remove_if([](const Subscriber& s) { return s.removed; });
}
