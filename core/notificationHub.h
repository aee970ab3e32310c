#pragma once

#include "core/periodicTask.h"

#include <cstdint>
#include <list>
#include <optional>
#include <string_view>
#include <vector>

namespace marlo {

// Message numbers of the hub. What object, value and payload carry is set by the
// type; "sent" messages are delivered at once, "posted" ones on the hub's next tick.
enum HubMessageType : std::uint8_t {
    // sent; object: the window being destroyed (a pointer does not fit the value)
    evWindowDestroyed = 1,
    // sent by the port menu items and the main window
    evPortChanged = 2,
    // posted by the About menu item
    evShowAbout = 3,
    // sent or posted; object: text colour (colourAsHubObject); value: background
    // colour; payload: the status-line text
    evStatusText = 4,
    // sent after every dispatched action and cursor change: menus refresh their items
    evRefreshMenus = 9,
    // sent; value: a label whose menu item is emptied
    evClearMenuItem = 10,
    // sent or posted; object: a menu builder; value: a label; payload: an entry key
    evFillMenuItem = 11,
    // asked; object: a menu or none; the reply's payload is the cursor cell's attributes
    evAskMenuCell = 12,
    // posted: repaint every bound cell
    evRepaintAll = 13,
    // posted; value: repaint the cells of this label
    evRepaintLabel = 15,
    // posted; value: repaint the bound cells of this index
    evRepaintIndex = 16,
    // sent: the toolbar refreshes its buttons
    evRefreshToolBar = 20,
    // sent before file and print commands: open editors commit, pickers close
    evCommitEditors = 21,
    // posted after the delayed warnings check
    evWarningsChecked = 23,
    // posted; value: an image address found by the difference search
    evDifferenceFound = 24,
    // sent when the tree or the document has been reloaded
    evDocumentReloaded = 25,
};

enum class HubDelivery : std::uint8_t { Queued = 0, Immediate = 1, Ask = 2 };

// An owned copy of bytes, or none.
using HubPayload = std::optional<std::vector<std::uint8_t>>;

struct HubMessage {
    std::uint8_t type = 0;
    HubDelivery mode = HubDelivery::Immediate;
    void* object = nullptr;
    std::int32_t value = 0;
    HubPayload payload; // texts are copied with their terminating zero

    // The payload up to its first zero byte; empty when there is none.
    std::string_view Text() const;
    // Announces that `window` is being destroyed (what was tied to it goes).
    bool AnnouncesGone(const void* window) const {
        return type == evWindowDestroyed && window != nullptr && object == window;
    }
};

struct HubReply {
    std::int32_t value = 0;
    void* object = nullptr;
    HubPayload payload;
};

using HubCallback = void (*)(void* context, const HubMessage& message);

// evStatusText carries its text colour (0x00BBGGRR) in the object field.
void* colourAsHubObject(std::uint32_t colour);
std::uint32_t hubObjectColour(const void* object);

// The program-wide notification hub: parts announce changes upward through
// numbered messages instead of calling each other. A message is either delivered
// at once to every subscriber (newest subscription first), delivered with one
// reply collected, or queued and delivered on the next tick of a 10 ms task, so
// that a handler may announce a change in the middle of a key or mouse event
// without re-entering the windows handling it.
//
// Callbacks may subscribe, unsubscribe, send and post freely: an unsubscribed
// callback is never called again, even by a delivery already under way, and its
// entry is dropped only once no delivery is running. Messages posted during a
// queued delivery wait for the next tick. The hub itself must outlive every
// delivery; Shutdown may be called from a callback.
//
// Needs a running Qt application for its timer.
class NotificationHub {
public:
    NotificationHub();
    ~NotificationHub();
    NotificationHub(const NotificationHub&) = delete;
    NotificationHub& operator=(const NotificationHub&) = delete;

    // A null callback is ignored; subscribing the same callback and context again
    // replaces the earlier subscription, and the new one is called first.
    void Subscribe(HubCallback callback, void* context);
    void Unsubscribe(HubCallback callback, void* context);

    void Send(std::uint8_t type, void* object = nullptr, std::int32_t value = 0);
    void SendText(std::uint8_t type, void* object, std::int32_t value, std::string_view text);
    void Post(std::uint8_t type, void* object = nullptr, std::int32_t value = 0);
    void PostText(std::uint8_t type, void* object, std::int32_t value, std::string_view text);
    // Null bytes or a length <= 0 post no payload.
    void PostBytes(std::uint8_t type, const void* bytes, std::int32_t length);

    // Delivers at once and returns the reply a subscriber gave, or none. Every ask
    // starts with an empty reply slot.
    std::optional<HubReply> Ask(std::uint8_t type, void* object = nullptr, std::int32_t value = 0,
                                const void* bytes = nullptr, std::int32_t length = 0);
    // Called by a subscriber during an ask; a later reply replaces an earlier one.
    void Reply(std::int32_t value, void* object = nullptr, const void* bytes = nullptr,
               std::int32_t length = 0);

    // Stops the timer, drops every queued message, subscription and reply. The hub
    // stays usable as an empty object: later subscriptions and posts are ignored.
    void Shutdown();

    // Queued-delivery ticks run so far.
    std::uint32_t Passes() const { return passes_; }

    // The application's hub, installed by whoever owns it.
    static NotificationHub& App();
    static void SetApp(NotificationHub* hub);

private:
    struct Subscriber {
        HubCallback callback;
        void* context;
        bool removed;
    };
    struct Queued {
        HubMessage message;
        bool delivered;
        bool fresh; // posted during the running tick; delivered on the next
    };

    static void OnTick(void* context, PeriodicTask* task);
    void DeliverQueued();
    void Deliver(const HubMessage& message);
    void Enqueue(HubMessage message);
    void Collect();

    std::list<Subscriber> subscribers_;
    std::list<Queued> queue_;
    std::optional<HubReply> reply_;
    TaskPtr task_;
    int passDepth_ = 0; // lists are pruned only when no delivery is walking them
    std::uint32_t passes_ = 0;
    bool shutDown_ = false;
};

} // namespace marlo
