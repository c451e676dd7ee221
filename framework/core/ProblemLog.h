#pragma once

#include <functional>
#include <string>

#include "framework/core/Hook.h"

// Where the program reports input it refused or set aside (a file too large, a damaged player
// list moved away, a setup chain cut short): one line per problem, on stderr unless a sink is
// installed, each after the program's own name. Safe to call from any thread.
void logProblem(const std::string& text);

// Installs a sink that receives every line instead of stderr (tests); an empty one restores
// stderr.
void setProblemSink(std::function<void(const std::string&)> sink);

// Authored content that a lookup did not find: a widget id ("widget"), a text key ("text"), a
// picture, sound or font key of a resource section ("resource"). The caller goes on with its
// fall-back (no widget, an empty text, no picture), but never silently: each kind and key is
// logged once as a problem.
void reportMissingContent(const std::string& kind, const std::string& key);

// A developer's mistake: an unknown id, a hook called while empty, wiring left out. Logged at
// once as a problem that says what is wrong and what to do, and told to `mistakeMade`, through
// which the test program fails the running test.
void reportMistake(const std::string& text);
inline Hook<void(const std::string& text)> mistakeMade;
