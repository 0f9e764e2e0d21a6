#include "channel_map.h"

#include <cerrno>
#include <cstdlib>

namespace vb {

namespace {

constexpr int kMaxChannelNumber = 1024;

std::string Plural(int N, const char* One, const char* Many) { return std::to_string(N) + " " + (N == 1 ? One : Many); }

std::string Inputs(int N) {
  if (N == 2) return "both inputs";
  return N == 1 ? "the input" : "all " + std::to_string(N) + " inputs";
}

std::string FeedText(const TChannelFeed& Feed) {
  if (Feed.empty()) return "0";
  std::string text;
  for (int c : Feed) {
    if (!text.empty()) text += '+';
    text += std::to_string(c + 1);
  }
  return text;
}

// A --channels list that would make the source fit: its first channels in
// order, silence for inputs beyond them.
std::string Suggestion(int SourceChannels, int PluginInputs) {
  if (PluginInputs == 1 && SourceChannels == 2) return "--channels 1 (left), 2 (right) or 1+2 (both mixed)";
  std::string list;
  for (int i = 0; i < PluginInputs; ++i) {
    if (i) list += ',';
    list += std::to_string(i < SourceChannels ? i + 1 : 0);
  }
  return "--channels " + list + (PluginInputs > SourceChannels ? " (0 feeds silence)" : "");
}

}  // namespace

bool ParseChannelList(const std::string& Text, std::vector<TChannelFeed>& Feeds, std::string& Error) {
  Feeds.clear();
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
  for (size_t i = 0; i <= Text.size(); ++i) {
    const char ch = i < Text.size() ? Text[i] : ',';
    if (ch != ',' && ch != '+') {
      item += ch;
      continue;
    }
    const bool wasSilence = item == "0";
    if (!finishNumber() || (ch == '+' && wasSilence)) {
      Error = "--channels needs 1-based channel numbers joined by ',' or '+' (0 for silence), not '" + Text + "'";
      Feeds.clear();
      return false;
    }
    if (ch == ',') {
      Feeds.push_back(feed);
      feed.clear();
    }
  }
  return true;
}

bool PlanChannels(int SourceChannels, int PluginInputs, const std::vector<TChannelFeed>& Requested,
                  const std::string& Source, bool Mixable, TChannelMap& Map, std::string& Error) {
  Map = {};
  if (PluginInputs == 0) {
    if (!Requested.empty()) {
      Error = "the plug-in has no audio inputs; leave out --channels";
      return false;
    }
    Map.Note = "the plug-in has no audio inputs: " + Source + " only sets the length of the render";
    return true;
  }
  if (!Requested.empty()) {
    for (const TChannelFeed& feed : Requested)
      for (int c : feed)
        if (c >= SourceChannels) {
          Error = "--channels names channel " + std::to_string(c + 1) + " and " + Source + " has " +
                  Plural(SourceChannels, "channel", "channels");
          return false;
        }
    if (static_cast<int>(Requested.size()) == PluginInputs) {
      Map.Feeds = Requested;
      return true;
    }
    if (Requested.size() == 1) {
      Map.Feeds.assign(static_cast<size_t>(PluginInputs), Requested[0]);
      Map.Note =
          "channel " + FeedText(Requested[0]) + " of " + Source + " feeds " + Inputs(PluginInputs) + " of the plug-in";
      return true;
    }
    Error = "--channels names " + Plural(static_cast<int>(Requested.size()), "channel", "channels") +
            " and the plug-in takes " + Plural(PluginInputs, "input", "inputs");
    return false;
  }
  if (SourceChannels == PluginInputs) {
    for (int c = 0; c < PluginInputs; ++c) Map.Feeds.push_back({c});
    return true;
  }
  if (SourceChannels == 1) {
    Map.Feeds.assign(static_cast<size_t>(PluginInputs), TChannelFeed{0});
    Map.Note = "mono input: the one channel of " + Source + " feeds " + Inputs(PluginInputs) + " of the plug-in";
    return true;
  }
  if (Mixable && SourceChannels == 2 && PluginInputs == 1) {
    Map.Feeds = {{0, 1}};
    Map.Note = Source + " is mixed to mono for the plug-in's one input";
    return true;
  }
  Error = Source + " has " + Plural(SourceChannels, "channel", "channels") + " and the plug-in takes " +
          Plural(PluginInputs, "input", "inputs") + "; choose the channels that feed it, e.g. " +
          Suggestion(SourceChannels, PluginInputs);
  return false;
}

}  // namespace vb
