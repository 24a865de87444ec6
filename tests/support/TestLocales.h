#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Locales for tests, whatever the machine has generated: each is built once
// with localedef (from the `locales` package's sources) into a folder of the
// build tree, and LOCPATH points the C library there.
inline std::string PrepareTestLocales(const std::vector<std::string>& names) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(TL_BINARY_DIR) / "tests" / "locales";
  std::error_code error;
  fs::create_directories(folder, error);
  std::string failed;
  for (const std::string& name : names) {
    if (fs::exists(folder / name / "LC_NUMERIC")) continue;
    const size_t dot = name.find('.');
    // Built under a name of its own and renamed, as test programs run at once.
    const fs::path temp = folder / (name + ".tmp" + std::to_string(::getpid()));
    const std::string command = "localedef -i " + name.substr(0, dot) + " -f " +
                                name.substr(dot + 1) + " '" + temp.string() + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    if (!fs::exists(temp / "LC_NUMERIC")) {
      failed += name + " (localedef status " + std::to_string(status) + ") ";
      continue;
    }
    fs::rename(temp, folder / name, error);
    fs::remove_all(temp, error);
  }
  setenv("LOCPATH", folder.c_str(), 1);
  return failed;
}

// The whole C library locale set to `name` for a scope, back to "C" after.
class TScopedLocale {
 public:
  explicit TScopedLocale(const char* name) : ok_(std::setlocale(LC_ALL, name) != nullptr) {}
  ~TScopedLocale() { std::setlocale(LC_ALL, "C"); }
  TScopedLocale(const TScopedLocale&) = delete;
  TScopedLocale& operator=(const TScopedLocale&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_;
};
