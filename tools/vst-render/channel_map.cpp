#include "channel_map.h"

#include <cerrno>
#include <cstdlib>

namespace vb {

namespace {

constexpr int kMaxChannelNumber = 1024;

std::string Plural(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

std::string Inputs(int n) {
  if (n == 2) return "both inputs";
  return n == 1 ? "the input" : "all " + std::to_string(n) + " inputs";
}

std::string FeedText(const TChannelFeed& feed) {
  if (feed.empty()) return "0";
  std::string text;
  for (int c : feed) {
    if (!text.empty()) text += '+';
    text += std::to_string(c + 1);
  }
  return text;
}

// A --channels list that would make the source fit: its first channels in
// order, silence for inputs beyond them.
std::string Suggestion(int sourceChannels, int pluginInputs) {
  if (pluginInputs == 1 && sourceChannels == 2) return "--channels 1 (left), 2 (right) or 1+2 (both mixed)";
  std::string list;
  for (int i = 0; i < pluginInputs; ++i) {
    if (i) list += ',';
    list += std::to_string(i < sourceChannels ? i + 1 : 0);
  }
  return "--channels " + list + (pluginInputs > sourceChannels ? " (0 feeds silence)" : "");
}

}  // namespace

bool ParseChannelList(const std::string& text, std::vector<TChannelFeed>& feeds, std::string& error) {
  feeds.clear();
  TChannelFeed feed;
  std::string item;
  auto finishNumber = [&]() {
    char* end = nullptr;
    errno = 0;
    const long n = item.empty() ? -1 : std::strtol(item.c_str(), &end, 10);
    if (n < 0 || errno != 0 || *end != '\0' || n > kMaxChannelNumber || (n == 0 && !feed.empty())) return false;
    if (n > 0) feed.push_back(static_cast<int>(n - 1));
    item.clear();
    return true;
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    const char ch = i < text.size() ? text[i] : ',';
    if (ch != ',' && ch != '+') {
      item += ch;
      continue;
    }
    const bool wasSilence = item == "0";
    if (!finishNumber() || (ch == '+' && wasSilence)) {
      error = "--channels needs 1-based channel numbers joined by ',' or '+' (0 for silence), not '" + text + "'";
      feeds.clear();
      return false;
    }
    if (ch == ',') {
      feeds.push_back(feed);
      feed.clear();
    }
  }
  return true;
}

bool PlanChannels(int sourceChannels, int pluginInputs, const std::vector<TChannelFeed>& requested,
                  const std::string& source, bool mixable, TChannelMap& map, std::string& error) {
  map = {};
  if (pluginInputs == 0) {
    if (!requested.empty()) {
      error = "the plug-in has no audio inputs; leave out --channels";
      return false;
    }
    map.Note = "the plug-in has no audio inputs: " + source + " only sets the length of the render";
    return true;
  }
  if (!requested.empty()) {
    for (const TChannelFeed& feed : requested)
      for (int c : feed)
        if (c >= sourceChannels) {
          error = "--channels names channel " + std::to_string(c + 1) + " and " + source + " has " +
                  Plural(sourceChannels, "channel", "channels");
          return false;
        }
    if (static_cast<int>(requested.size()) == pluginInputs) {
      map.Feeds = requested;
      return true;
    }
    if (requested.size() == 1) {
      map.Feeds.assign(static_cast<size_t>(pluginInputs), requested[0]);
      map.Note =
          "channel " + FeedText(requested[0]) + " of " + source + " feeds " + Inputs(pluginInputs) + " of the plug-in";
      return true;
    }
    error = "--channels names " + Plural(static_cast<int>(requested.size()), "channel", "channels") +
            " and the plug-in takes " + Plural(pluginInputs, "input", "inputs");
    return false;
  }
  if (sourceChannels == pluginInputs) {
    for (int c = 0; c < pluginInputs; ++c) map.Feeds.push_back({c});
    return true;
  }
  if (sourceChannels == 1) {
    map.Feeds.assign(static_cast<size_t>(pluginInputs), TChannelFeed{0});
    map.Note = "mono input: the one channel of " + source + " feeds " + Inputs(pluginInputs) + " of the plug-in";
    return true;
  }
  if (mixable && sourceChannels == 2 && pluginInputs == 1) {
    map.Feeds = {{0, 1}};
    map.Note = source + " is mixed to mono for the plug-in's one input";
    return true;
  }
  error = source + " has " + Plural(sourceChannels, "channel", "channels") + " and the plug-in takes " +
          Plural(pluginInputs, "input", "inputs") + "; choose the channels that feed it, e.g. " +
          Suggestion(sourceChannels, pluginInputs);
  return false;
}

}  // namespace vb
