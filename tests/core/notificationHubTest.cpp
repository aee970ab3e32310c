#include "core/notificationHub.h"
#include "support/eventLoop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace marlo;

namespace {

struct Delivery {
    std::string who;
    std::uint8_t type;
    HubDelivery mode;
    std::int32_t value;
    std::uint32_t pass; // the hub's tick count when it arrived
};

class Hub : public ::testing::Test {
protected:
    // A released task deletes itself on its next tick: give it that tick.
    void TearDown() override {
        owned.reset();
        EXPECT_TRUE(runEventLoopUntil([] { return PeriodicTask::LiveCount() == 0; }));
    }

    // A subscriber that records what it receives, then runs its optional action.
    struct Listener {
        Hub* test;
        std::string name;
        std::function<void(const HubMessage&)> action;

        static void receive(void* context, const HubMessage& m) {
            auto* self = static_cast<Listener*>(context);
            self->test->log.push_back(
                {self->name, m.type, m.mode, m.value, self->test->hub.Passes()});
            if (self->action)
                self->action(m);
        }
    };

    Listener& listen(const std::string& name,
                     std::function<void(const HubMessage&)> action = nullptr) {
        listeners.push_back(std::make_unique<Listener>(Listener{this, name, std::move(action)}));
        hub.Subscribe(&Listener::receive, listeners.back().get());
        return *listeners.back();
    }
    void drop(Listener& l) { hub.Unsubscribe(&Listener::receive, &l); }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const Delivery& d : log)
            out.push_back(d.who + ":" + std::to_string(d.value));
        return out;
    }
    bool waitFor(std::size_t deliveries) {
        return runEventLoopUntil([&] { return log.size() >= deliveries; });
    }

    std::optional<NotificationHub> owned{std::in_place};
    NotificationHub& hub = *owned;
    std::vector<Delivery> log;
    std::vector<std::unique_ptr<Listener>> listeners;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(Hub, SendReachesTheNewestSubscriptionFirst) {
    hub.Subscribe(nullptr, this); // not a routine: ignored
    listen("a");
    listen("b");
    listen("c");
    hub.Send(evRefreshMenus, nullptr, 7);
    EXPECT_EQ(names(), (Names{"c:7", "b:7", "a:7"}));
    EXPECT_EQ(log[0].mode, HubDelivery::Immediate);
    EXPECT_EQ(log[0].type, evRefreshMenus);
}

TEST_F(Hub, SubscribingAgainLeavesOneSubscriptionAtTheFront) {
    Listener& a = listen("a");
    listen("b");
    hub.Subscribe(&Listener::receive, &a);
    hub.Send(evRefreshToolBar, nullptr, 1);
    EXPECT_EQ(names(), (Names{"a:1", "b:1"}));

    drop(a);
    hub.Send(evRefreshToolBar, nullptr, 2);
    EXPECT_EQ(names(), (Names{"a:1", "b:1", "b:2"}));
}

TEST_F(Hub, SubscriberUnsubscribedDuringImmediateDeliveryIsNotReached) {
    listen("late");
    Listener& victim = listen("victim");
    listen("killer", [&](const HubMessage&) { drop(victim); });
    hub.Send(evCommitEditors, nullptr, 1);
    hub.Send(evCommitEditors, nullptr, 2);
    EXPECT_EQ(names(), (Names{"killer:1", "late:1", "killer:2", "late:2"}));
}

// A callback that drops itself and a later subscriber, then runs a nested event loop
// in which the hub keeps ticking: the delivery must go on over intact lists.
TEST_F(Hub, DeliveryResumesAfterANestedEventLoopThatLetTheHubTick) {
    listen("last");
    Listener& victim = listen("victim");
    Listener* self = nullptr;
    self = &listen("modal", [&](const HubMessage&) {
        drop(*self);
        drop(victim);
        const std::uint32_t before = hub.Passes();
        runEventLoopUntil([&] { return hub.Passes() >= before + 2; });
    });
    hub.Send(evWindowDestroyed, nullptr, 1);
    EXPECT_EQ(names(), (Names{"modal:1", "last:1"}));
    runEventLoopFor(50); // let the hub tick and prune
    hub.Send(evWindowDestroyed, nullptr, 2);
    EXPECT_EQ(names(), (Names{"modal:1", "last:1", "last:2"}));
}

TEST_F(Hub, PostedMessagesArriveTogetherOnALaterTick) {
    listen("a");
    hub.Post(evRepaintAll, nullptr, 1);
    hub.Post(evRepaintLabel, nullptr, 2);
    EXPECT_TRUE(log.empty()) << "a posted message is never delivered at once";
    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(names(), (Names{"a:1", "a:2"}));
    EXPECT_EQ(log[0].pass, log[1].pass);
    EXPECT_EQ(log[0].mode, HubDelivery::Queued);
    EXPECT_EQ(log[1].type, evRepaintLabel);
}

TEST_F(Hub, MessagePostedDuringAQueuedDeliveryWaitsForTheNextTick) {
    listen("a", [&](const HubMessage& m) {
        if (m.value == 1)
            hub.Post(evRepaintIndex, nullptr, 3);
    });
    hub.Post(evRepaintIndex, nullptr, 1);
    hub.Post(evRepaintIndex, nullptr, 2);
    ASSERT_TRUE(waitFor(3));
    EXPECT_EQ(names(), (Names{"a:1", "a:2", "a:3"}));
    EXPECT_EQ(log[1].pass, log[0].pass);
    EXPECT_GT(log[2].pass, log[0].pass);
    runEventLoopFor(50);
    EXPECT_EQ(log.size(), 3u) << "each message is delivered once";
}

TEST_F(Hub, SubscriberUnsubscribedDuringAQueuedPassGetsNothingMoreFromIt) {
    listen("victim");
    Listener* victim = listeners.back().get();
    listen("killer", [&](const HubMessage&) { drop(*victim); });
    hub.Post(evRepaintAll, nullptr, 1);
    hub.Post(evRepaintAll, nullptr, 2);
    ASSERT_TRUE(waitFor(2));
    runEventLoopFor(50);
    EXPECT_EQ(names(), (Names{"killer:1", "killer:2"}));
}

TEST_F(Hub, AskReturnsTheReplyOfThisAskOnly) {
    int asks = 0;
    listen("quiet");
    listen("answerer", [&](const HubMessage& m) {
        EXPECT_EQ(m.mode, HubDelivery::Ask);
        if (++asks == 1) {
            std::string cell = "cell";
            hub.Reply(42, this, cell.c_str(), 5);
            cell = "XXXX"; // the hub keeps its own copy
        }
    });
    const auto first = hub.Ask(evAskMenuCell, nullptr, 0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->value, 42);
    EXPECT_EQ(first->object, this);
    ASSERT_TRUE(first->payload.has_value());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first->payload->data())), "cell");

    EXPECT_FALSE(hub.Ask(evAskMenuCell, nullptr, 0).has_value());
    EXPECT_EQ(asks, 2);
    EXPECT_EQ(names(), (Names{"answerer:0", "quiet:0", "answerer:0", "quiet:0"}));
}

TEST_F(Hub, AskCarriesItsOwnPayloadCopy) {
    std::string seen;
    listen("a", [&](const HubMessage& m) {
        ASSERT_TRUE(m.payload.has_value());
        seen.assign(m.payload->begin(), m.payload->end());
        hub.Reply(1);
    });
    const auto reply = hub.Ask(evAskMenuCell, nullptr, 0, "ab\0c", 4);
    EXPECT_EQ(seen, std::string("ab\0c", 4));
    ASSERT_TRUE(reply.has_value());
    EXPECT_FALSE(reply->payload.has_value());
}

TEST_F(Hub, TextsAndBytesAreCopiedAtPostTime) {
    std::vector<HubMessage> got;
    listen("a", [&](const HubMessage& m) { got.push_back(m); });
    std::string text = "Ready";
    const std::uint8_t bytes[] = {0x00, 0xFE, 0x41};
    hub.PostText(evStatusText, colourAsHubObject(0x0000FFFF), 0x00000080, text);
    hub.PostBytes(evFillMenuItem, bytes, 3);
    hub.PostBytes(evFillMenuItem, nullptr, 3);
    text = "Changed";
    ASSERT_TRUE(waitFor(3));

    ASSERT_TRUE(got[0].payload.has_value());
    EXPECT_EQ(got[0].payload->size(), 6u) << "texts keep their terminating zero";
    EXPECT_EQ(got[0].payload->back(), 0);
    EXPECT_EQ(got[0].Text(), "Ready");
    EXPECT_EQ(hubObjectColour(got[0].object), 0x0000FFFFu);
    EXPECT_EQ(got[0].value, 0x00000080);

    ASSERT_TRUE(got[1].payload.has_value());
    EXPECT_EQ(*got[1].payload, (std::vector<std::uint8_t>{0x00, 0xFE, 0x41}));
    EXPECT_EQ(got[1].object, nullptr);
    EXPECT_EQ(got[1].value, 0);
    EXPECT_EQ(got[1].Text(), "");

    EXPECT_FALSE(got[2].payload.has_value());
}

TEST_F(Hub, ShutdownDropsQueueSubscriptionsAndLaterPosts) {
    listen("a", [&](const HubMessage&) { hub.Reply(1); });
    EXPECT_TRUE(hub.Ask(evAskMenuCell).has_value());
    hub.Post(evRepaintAll, nullptr, 1);
    hub.Shutdown();
    hub.Send(evRefreshMenus, nullptr, 2);
    EXPECT_FALSE(hub.Ask(evAskMenuCell).has_value());
    listen("b");
    hub.Post(evRepaintAll, nullptr, 3);
    hub.Send(evRefreshMenus, nullptr, 4);
    const std::uint32_t passes = hub.Passes();
    runEventLoopFor(60);
    EXPECT_EQ(hub.Passes(), passes) << "the timer is stopped";
    EXPECT_EQ(names(), (Names{"a:0"}));
    hub.Shutdown(); // twice is harmless
}

TEST_F(Hub, ShutdownFromInsideAQueuedDeliveryEndsIt) {
    listen("other");
    listen("a", [&](const HubMessage& m) {
        if (m.value == 1)
            hub.Shutdown();
    });
    hub.Post(evShowAbout, nullptr, 1);
    hub.Post(evShowAbout, nullptr, 2);
    ASSERT_TRUE(waitFor(1));
    runEventLoopFor(60);
    EXPECT_EQ(names(), (Names{"a:1"}));
}

TEST(HubApp, InstalledHubIsTheAppHubUntilItGoes) {
    {
        NotificationHub hub;
        NotificationHub::SetApp(&hub);
        EXPECT_EQ(&NotificationHub::App(), &hub);
    }
    EXPECT_TRUE(runEventLoopUntil([] { return PeriodicTask::LiveCount() == 0; }));
    EXPECT_EXIT(NotificationHub::App(), ::testing::ExitedWithCode(3), "No notification hub");
}
