#include "platform/desktop_resources.h"
#include "platform/x11/x11_connection.h"

namespace vb {
namespace {

// Real resource strings are a few kilobytes; more is not read.
constexpr std::uint32_t kMaxResourceWords = 64 * 1024;  // 32-bit units: 256 KiB

}  // namespace

std::string NativeDesktopResourcesOf(std::uintptr_t) { return NativeDesktopResources(); }

std::string NativeDesktopResources() {
  const TX11Connection connection;
  const xcb_screen_t* screen = connection.DefaultScreen();
  if (screen == nullptr) return {};
  const xcb_get_property_cookie_t cookie = xcb_get_property(
      connection.Get(), 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, kMaxResourceWords);
  const TX11Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection.Get(), cookie, nullptr));
  if (!reply || reply->type != XCB_ATOM_STRING || reply->format != 8) return {};
  const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
  const int length = xcb_get_property_value_length(reply.get());
  return length > 0 ? std::string(bytes, std::size_t(length)) : std::string();
}

}  // namespace vb
