#include "i18n/Language.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "i18n/Gettext.h"

// glibc's count of catalogue changes; a higher value empties its cache.
extern "C" int _nl_msg_cat_cntr;

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool IsEnglish(const std::string& name) {
  return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 || name == "en" ||
         name.rfind("en_", 0) == 0 || name.rfind("en.", 0) == 0;
}

// gettext's candidates for a locale name language[_territory][.codeset][@modifier],
// most specific first; the codeset never names a catalogue folder of ours.
std::vector<std::string> Candidates(const std::string& name) {
  std::string rest = name, modifier;
  if (const size_t at = rest.find('@'); at != std::string::npos) {
    modifier = rest.substr(at);
    rest.resize(at);
  }
  if (const size_t dot = rest.find('.'); dot != std::string::npos) rest.resize(dot);
  std::string language = rest;
  std::vector<std::string> out;
  if (const size_t underscore = rest.find('_'); underscore != std::string::npos) {
    language = rest.substr(0, underscore);
    if (!modifier.empty()) out.push_back(rest + modifier);
    out.push_back(rest);
  }
  if (!modifier.empty()) out.push_back(language + modifier);
  out.push_back(language);
  return out;
}

// The catalogue `name` stands for: a code, "" for English, or nothing.
std::optional<std::string> Match(const std::string& name,
                                 const std::vector<std::string>& available) {
  for (const std::string& candidate : Candidates(name)) {
    if (std::find(available.begin(), available.end(), candidate) != available.end())
      return candidate;
  }
  if (IsEnglish(name)) return std::string();
  return std::nullopt;
}

}  // namespace

TLanguageEnv TLanguageEnv::FromProcess() {
  return {Env("LANGUAGE"), Env("LC_ALL"), Env("LC_MESSAGES"), Env("LANG")};
}

TLanguageChoice ChooseLanguage(const std::string& option, const TLanguageEnv& env,
                               const std::vector<std::string>& available) {
  if (!option.empty()) {
    if (auto code = Match(option, available)) return {*code, {}};
    // TRANSLATORS: Said once on standard error when --language names a language the game does not
    // have.
    return {{}, Format(_("unknown language '%s'; the game is shown in English"), option.c_str())};
  }
  size_t start = 0;
  while (start <= env.Language.size()) {
    size_t end = env.Language.find(':', start);
    if (end == std::string::npos) end = env.Language.size();
    const std::string entry = env.Language.substr(start, end - start);
    if (!entry.empty()) {
      if (auto code = Match(entry, available)) return {*code, {}};
    }
    start = end + 1;
  }
  // A LANGUAGE with none of our languages means English, as for gettext.
  if (env.Language.find_first_not_of(':') != std::string::npos) return {};
  for (const std::string* name : {&env.LcAll, &env.LcMessages, &env.Lang}) {
    if (name->empty()) continue;
    return {Match(*name, available).value_or(std::string()), {}};
  }
  return {};
}

std::vector<std::string> AvailableLanguages(const std::string& localeFolder) {
  std::vector<std::string> codes;
  std::error_code error;
  if (localeFolder.empty()) return codes;
  for (const fs::directory_entry& entry : fs::directory_iterator(localeFolder, error)) {
    const fs::path catalogue = entry.path() / "LC_MESSAGES" / (std::string(kTextDomain) + ".mo");
    if (fs::is_regular_file(catalogue, error)) codes.push_back(entry.path().filename().string());
  }
  std::sort(codes.begin(), codes.end());
  return codes;
}

std::string LocaleFolderFor(const std::string& dataFolder) {
  if (dataFolder.empty()) return {};
  std::error_code error;
  for (const fs::path& folder :
       {fs::path(dataFolder) / "locale", fs::path(dataFolder).parent_path() / "locale"}) {
    if (fs::is_directory(folder, error)) return folder.lexically_normal().string();
  }
  return {};
}

void UseLanguage(const std::string& code, const std::string& localeFolder) {
  if (!localeFolder.empty()) bindtextdomain(kTextDomain, localeFolder.c_str());
  bind_textdomain_codeset(kTextDomain, "UTF-8");
  if (code.empty()) {
    // The C locale's messages are the source texts themselves.
    std::setlocale(LC_MESSAGES, "C");
    return;
  }
  // gettext reads LANGUAGE only outside the plain C locale; C.UTF-8 is always
  // there and changes nothing but the messages. The other categories stay C.
  setenv("LANGUAGE", code.c_str(), 1);
  if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) std::setlocale(LC_MESSAGES, "");
  // gettext keeps its answers per locale name, not per LANGUAGE: a change of
  // language alone must drop them (as the gettext manual says to).
  ++_nl_msg_cat_cntr;
}
