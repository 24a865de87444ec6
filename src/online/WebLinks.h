#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

// The score server's host (and port), a build setting.
std::string ScoreHost();
// "http://" + host: the game's home page.
std::string HomePageUrl();
// The world high-score page.
std::string WorldScoresUrl();
// The address an internet shortcut's text names: the value of its first
// "URL=" line when that is an http or https address without spaces or control
// characters; empty otherwise.
std::string ExitLinkUrl(std::string_view shortcut);
// After the window has closed: opens the URL of the "play.url" shortcut at
// `path` (the game passes the one in its data folder) when it names an http or
// https address; anything else opens nothing.
void OpenExitLink(Platform& sys, const std::string& path = "play.url");
