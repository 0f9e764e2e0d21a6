// Which channels of the source feed which inputs of the plug-in. Nothing is
// dropped or duplicated without a word: a source whose channel count the
// plug-in cannot take is refused unless the user picks channels
// (--channels), and every mapping other than one-to-one is told on stderr.
#pragma once

#include <string>
#include <vector>

namespace vb {

// One plug-in input: the source channels (0-based) whose mean feeds it;
// empty feeds silence.
using TChannelFeed = std::vector<int>;

struct TChannelMap {
  std::vector<TChannelFeed> Feeds;  // one per plug-in input
  std::string Note;                 // how the source is fed, when not one to one
};

// Parses a --channels list: comma-separated items, each a 1-based source
// channel, several joined with '+' (mixed as their mean), or 0 (silence).
// "1,2", "2", "1+2", "1,2,0,0".
bool ParseChannelList(const std::string& Text, std::vector<TChannelFeed>& Feeds, std::string& Error);

// The mapping for a source of `sourceChannels` channels (named `source` in
// messages) and a plug-in with `pluginInputs` inputs. `requested` is the
// parsed --channels list (empty when not given). `mixable`: a stereo source
// may be mixed down for a one-input plug-in without asking (the built-in
// demo). False with a one-line message that suggests a --channels list.
bool PlanChannels(int SourceChannels, int PluginInputs, const std::vector<TChannelFeed>& Requested,
                  const std::string& Source, bool Mixable, TChannelMap& Map, std::string& Error);

}  // namespace vb
