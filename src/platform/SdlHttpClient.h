#pragma once

#include <mutex>
#include <string>

#include "platform/Platform.h"

// Blocking HTTP GET and POST over libcurl for the platform. Cookies live in memory for
// the client's lifetime (shared by every request, never written to a file);
// no proxy is used, redirects are not followed, and every failure (no
// connection, time-out, status 400 or above, oversized or broken body, a
// scheme other than http/https) comes back as Ok = false with a readable Error.
class SdlHttpClient {
 public:
  SdlHttpClient();
  ~SdlHttpClient();
  SdlHttpClient(const SdlHttpClient&) = delete;
  SdlHttpClient& operator=(const SdlHttpClient&) = delete;

  THttpResult Get(const std::string& url, const THttpOptions& options);
  // Sends `body` as `contentType`; a Content-Type line among the options'
  // headers is left out in favour of it.
  THttpResult Post(const std::string& url, const std::string& contentType, const std::string& body,
                   const THttpOptions& options);

 private:
  // One transfer; `post` null for a GET.
  struct TPostBody {
    const std::string& ContentType;
    const std::string& Body;
  };
  THttpResult Perform(const std::string& url, const TPostBody* post, const THttpOptions& options);

  void Initialise();  // on the first request, under the mutex

  void* share_ = nullptr;  // CURLSH*, holds the cookie jar
  bool initialised_ = false;
  bool ready_ = false;
  std::mutex mutex_;  // one request at a time: the share handle has no locks
};
