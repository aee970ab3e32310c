#include "core/notificationHub.h"

#include "platform/fatalError.h"

#include <cstdint>

namespace marlo {

namespace {

constexpr int tickMs = 10;
NotificationHub* appHub = nullptr;

HubPayload copyBytes(const void* bytes, std::int32_t length) {
    if (bytes == nullptr || length <= 0)
        return std::nullopt;
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(p, p + length);
}

HubPayload copyText(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace

std::string_view HubMessage::Text() const {
    if (!payload)
        return {};
    const std::string_view all(reinterpret_cast<const char*>(payload->data()), payload->size());
    return all.substr(0, all.find('\0'));
}

void* colourAsHubObject(std::uint32_t colour) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(colour));
}

std::uint32_t hubObjectColour(const void* object) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(object));
}

NotificationHub::NotificationHub() : task_(PeriodicTask::Create()) {
    task_->SetCallback(&NotificationHub::OnTick, this);
    task_->SetInterval(tickMs);
}

NotificationHub::~NotificationHub() {
    Shutdown();
    if (appHub == this)
        appHub = nullptr;
}

void NotificationHub::Subscribe(HubCallback callback, void* context) {
    // Small numbers are not routines; they show up when a value is passed by mistake.
    if (shutDown_ || reinterpret_cast<std::uintptr_t>(callback) < 0x10000)
        return;
    Unsubscribe(callback, context);
    subscribers_.push_front(Subscriber{callback, context, false});
}

void NotificationHub::Unsubscribe(HubCallback callback, void* context) {
    for (Subscriber& s : subscribers_)
        if (s.callback == callback && s.context == context)
            s.removed = true;
}

void NotificationHub::Send(std::uint8_t type, void* object, std::int32_t value) {
    Deliver(HubMessage{type, HubDelivery::Immediate, object, value, std::nullopt});
}

void NotificationHub::SendText(std::uint8_t type, void* object, std::int32_t value,
                               std::string_view text) {
    Deliver(HubMessage{type, HubDelivery::Immediate, object, value, copyText(text)});
}

void NotificationHub::Post(std::uint8_t type, void* object, std::int32_t value) {
    Enqueue(HubMessage{type, HubDelivery::Queued, object, value, std::nullopt});
}

void NotificationHub::PostText(std::uint8_t type, void* object, std::int32_t value,
                               std::string_view text) {
    Enqueue(HubMessage{type, HubDelivery::Queued, object, value, copyText(text)});
}

void NotificationHub::PostBytes(std::uint8_t type, const void* bytes, std::int32_t length) {
    Enqueue(HubMessage{type, HubDelivery::Queued, nullptr, 0, copyBytes(bytes, length)});
}

std::optional<HubReply> NotificationHub::Ask(std::uint8_t type, void* object, std::int32_t value,
                                             const void* bytes, std::int32_t length) {
    reply_.reset();
    Deliver(HubMessage{type, HubDelivery::Ask, object, value, copyBytes(bytes, length)});
    return reply_;
}

void NotificationHub::Reply(std::int32_t value, void* object, const void* bytes,
                            std::int32_t length) {
    reply_ = HubReply{value, object, copyBytes(bytes, length)};
}

void NotificationHub::Shutdown() {
    shutDown_ = true;
    task_.reset();
    for (Subscriber& s : subscribers_)
        s.removed = true;
    for (Queued& q : queue_)
        q.delivered = true;
    reply_.reset();
    Collect();
}

NotificationHub& NotificationHub::App() {
    if (appHub == nullptr)
        fatalError("No notification hub is installed.");
    return *appHub;
}

void NotificationHub::SetApp(NotificationHub* hub) {
    appHub = hub;
}

void NotificationHub::OnTick(void* context, PeriodicTask*) {
    static_cast<NotificationHub*>(context)->DeliverQueued();
}

void NotificationHub::DeliverQueued() {
    ++passes_;
    for (Queued& q : queue_)
        q.fresh = false;
    ++passDepth_;
    // Messages posted from here on are appended as fresh and skipped by this walk.
    for (Queued& q : queue_) {
        if (q.delivered || q.fresh)
            continue;
        q.delivered = true;
        Deliver(q.message);
    }
    --passDepth_;
    Collect();
}

void NotificationHub::Deliver(const HubMessage& message) {
    ++passDepth_;
    for (const Subscriber& s : subscribers_)
        if (!s.removed)
            s.callback(s.context, message);
    --passDepth_;
    if (shutDown_)
        Collect();
}

void NotificationHub::Enqueue(HubMessage message) {
    if (!shutDown_)
        queue_.push_back(Queued{std::move(message), false, true});
}

// Drops delivered messages and removed subscriptions, unless a delivery further up
// the stack (a callback running a nested event loop) is still walking the lists.
void NotificationHub::Collect() {
    if (passDepth_ > 0)
        return;
    queue_.remove_if([](const Queued& q) { return q.delivered; });
    subscribers_.remove_if([](const Subscriber& s) { return s.removed; });
}

} // namespace marlo
