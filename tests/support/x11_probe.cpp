#include "support/x11_probe.h"

#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace vb::test {

namespace {

struct TFree {
  void operator()(void* P) const { std::free(P); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree>;

}  // namespace

TX11Probe::TX11Probe() {
  int screenNumber = 0;
  // A busy server refuses new connections for a moment (EAGAIN); retry.
  for (int attempt = 0; attempt < 6; ++attempt) {
    FConnection = xcb_connect(nullptr, &screenNumber);
    if (Connected()) break;
    xcb_disconnect(FConnection);
    FConnection = nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(2 << attempt));
  }
  if (!Connected()) return;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
  for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
  FRoot = it.data->root;
  const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(FConnection, &xcb_test_id);
  FXTest = xtest != nullptr && xtest->present;
}

TX11Probe::~TX11Probe() {
  if (FConnection != nullptr) xcb_disconnect(FConnection);
}

bool TX11Probe::Connected() const { return FConnection != nullptr && xcb_connection_has_error(FConnection) == 0; }

std::vector<xcb_window_t> TX11Probe::Children(xcb_window_t Window) const {
  TOwned<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, Window), nullptr));
  if (!reply) return {};
  const xcb_window_t* kids = xcb_query_tree_children(reply.get());
  return std::vector<xcb_window_t>(kids, kids + xcb_query_tree_children_length(reply.get()));
}

TX11Geometry TX11Probe::Geometry(xcb_window_t Window) const {
  TX11Geometry result;
  TOwned<xcb_get_geometry_reply_t> reply(
      xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, Window), nullptr));
  if (!reply) return result;
  result.Valid = true;
  result.X = reply->x;
  result.Y = reply->y;
  result.Width = reply->width;
  result.Height = reply->height;
  result.Depth = reply->depth;
  result.BorderWidth = reply->border_width;
  return result;
}

bool TX11Probe::Viewable(xcb_window_t Window) const {
  TOwned<xcb_get_window_attributes_reply_t> reply(
      xcb_get_window_attributes_reply(FConnection, xcb_get_window_attributes(FConnection, Window), nullptr));
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::uint32_t TX11Probe::AllEventMasks(xcb_window_t Window) const {
  TOwned<xcb_get_window_attributes_reply_t> reply(
      xcb_get_window_attributes_reply(FConnection, xcb_get_window_attributes(FConnection, Window), nullptr));
  return reply ? reply->all_event_masks : 0;
}

std::uint8_t TX11Probe::VisualClass(xcb_window_t Window) const {
  TOwned<xcb_get_window_attributes_reply_t> reply(
      xcb_get_window_attributes_reply(FConnection, xcb_get_window_attributes(FConnection, Window), nullptr));
  if (!reply) return 0;
  for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(xcb_get_setup(FConnection)); s.rem > 0; xcb_screen_next(&s))
    for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d))
      for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
        if (v.data->visual_id == reply->visual) return v.data->_class;
  return 0;
}

std::vector<std::uint32_t> TX11Probe::Property32(xcb_window_t Window, const std::string& Name) const {
  TOwned<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
      FConnection, xcb_intern_atom(FConnection, 1, std::uint16_t(Name.size()), Name.c_str()), nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) return {};
  return Property32(Window, atom->atom);
}

std::vector<std::uint32_t> TX11Probe::Property32(xcb_window_t Window, xcb_atom_t Atom) const {
  TOwned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      FConnection, xcb_get_property(FConnection, 0, Window, Atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<std::uint32_t>(items, items + xcb_get_property_value_length(reply.get()) / 4);
}

void TX11Probe::MovePointer(xcb_window_t Window, std::int32_t X, std::int32_t Y) {
  TOwned<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
      FConnection, xcb_translate_coordinates(FConnection, Window, FRoot, std::int16_t(X), std::int16_t(Y)), nullptr));
  if (!at) return;
  xcb_test_fake_input(FConnection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, FRoot, at->dst_x, at->dst_y, 0);
  Sync();
}

void TX11Probe::Button(std::uint8_t Button, bool Press) {
  xcb_test_fake_input(FConnection, Press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, Button, XCB_CURRENT_TIME,
                      XCB_WINDOW_NONE, 0, 0, 0);
  Sync();
}

void TX11Probe::Wheel(bool Up) {
  Button(Up ? 4 : 5, true);
  Button(Up ? 4 : 5, false);
}

bool TX11Probe::PointerIn(xcb_window_t Window, std::int32_t& X, std::int32_t& Y) const {
  TOwned<xcb_query_pointer_reply_t> reply(
      xcb_query_pointer_reply(FConnection, xcb_query_pointer(FConnection, Window), nullptr));
  if (!reply) return false;
  X = reply->win_x;
  Y = reply->win_y;
  return true;
}

void TX11Probe::Sync() const {
  std::free(xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
}

}  // namespace vb::test
