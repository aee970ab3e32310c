// Placeholder until the store lands.
#include "overlay/cmcGTex.h"

#include "platform/cmcFatal.h"

struct cmcGTex::Impl {};
namespace {
cmcGTex* appStore = nullptr;
}
cmcGTex::cmcGTex() : impl_(std::make_unique<Impl>()) {}
cmcGTex::~cmcGTex() = default;
bool cmcGTex::SetFile(const std::string&) {
    return true;
}
bool cmcGTex::SetLines(std::span<const char* const>) {
    return true;
}
std::string cmcGTex::GetLine(const std::string& key, int) {
    cmcFatal("GTEX Error !\nThe index '" + key + "' was not found.");
}
std::string cmcGTex::GetText(const std::string& key) {
    return GetLine(key);
}
cmcGTex& cmcGTex::App() {
    return *appStore;
}
void cmcGTex::SetApp(cmcGTex* s) {
    appStore = s;
}
