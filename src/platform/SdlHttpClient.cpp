#include "platform/SdlHttpClient.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <string_view>
#include <vector>

namespace {

struct TBodySink {
  std::string* Body;
  size_t Limit;
  bool Overflow = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<TBodySink*>(user);
  const size_t n = size * count;
  if (sink->Body->size() + n > sink->Limit) {
    sink->Overflow = true;
    return 0;  // makes curl abort the transfer with a write error
  }
  sink->Body->append(data, n);
  return n;
}

struct TEasyDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct TListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Called by curl while a transfer runs (about once a second even while
// nothing arrives): a non-zero answer ends it.
int StopRequested(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::stop_token*>(user)->stop_requested() ? 1 : 0;
}

// Time-outs of 0 would mean "wait forever" to curl; the game must never hang.
long PositiveOr(long value, long fallback) {
  return value > 0 ? value : fallback;
}

// Whether a header line is a Content-Type line (names are case-insensitive).
bool IsContentType(const std::string& line) {
  static constexpr std::string_view kName = "content-type:";
  if (line.size() < kName.size()) return false;
  for (size_t i = 0; i < kName.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != kName[i]) return false;
  }
  return true;
}

}  // namespace

SdlHttpClient::SdlHttpClient() = default;

// curl and its TLS library take a while to set up: that waits for the first
// request instead of holding up the game's start.
void SdlHttpClient::Initialise() {
  initialised_ = true;
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return;
  CURLSH* share = curl_share_init();
  if (share == nullptr) {
    curl_global_cleanup();
    return;
  }
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  share_ = share;
  ready_ = true;
}

SdlHttpClient::~SdlHttpClient() {
  if (!ready_) return;
  curl_share_cleanup(static_cast<CURLSH*>(share_));
  curl_global_cleanup();
}

THttpResult SdlHttpClient::Get(const std::string& url, const THttpOptions& options) {
  return Perform(url, nullptr, options);
}

THttpResult SdlHttpClient::Post(const std::string& url, const std::string& contentType,
                                const std::string& body, const THttpOptions& options) {
  const TPostBody post{contentType, body};
  return Perform(url, &post, options);
}

THttpResult SdlHttpClient::Perform(const std::string& url, const TPostBody* post,
                                   const THttpOptions& options) {
  std::lock_guard<std::mutex> lock(mutex_);
  THttpResult result;
  if (!initialised_) Initialise();
  if (!ready_) {
    result.Error = "The HTTP client could not be initialised.";
    return result;
  }
  std::unique_ptr<CURL, TEasyDeleter> easy(curl_easy_init());
  if (!easy) {
    result.Error = "The HTTP client could not be initialised.";
    return result;
  }
  std::vector<std::string> lines;
  for (const std::string& line : options.Headers) {
    if (post == nullptr || !IsContentType(line)) lines.push_back(line);
  }
  if (post != nullptr) {
    lines.push_back("Content-Type: " + post->ContentType);
    lines.push_back("Expect:");  // the body goes at once, without waiting for "100 Continue"
  }
  std::unique_ptr<curl_slist, TListDeleter> headers;
  for (const std::string& line : lines) {
    curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
    if (grown == nullptr) {
      result.Error = "Out of memory building the request headers.";
      return result;
    }
    (void)headers.release();
    headers.reset(grown);
  }

  const THttpOptions defaults;
  TBodySink sink{&result.Body, options.MaxBodyBytes};
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* c = easy.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  if (post != nullptr) {
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, post->Body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post->Body.size()));
  } else {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(c, CURLOPT_PROXY, "");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                   PositiveOr(options.ConnectTimeoutMs, defaults.ConnectTimeoutMs));
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS,
                   PositiveOr(options.TotalTimeoutMs, defaults.TotalTimeoutMs));
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxBodyBytes));
  curl_easy_setopt(c, CURLOPT_SHARE, static_cast<CURLSH*>(share_));
  curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing read from disk
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  if (options.Stop.stop_possible()) {
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, StopRequested);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &options.Stop);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  }

  const CURLcode code = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.Status);
  if (sink.Overflow || code == CURLE_FILESIZE_EXCEEDED) {
    result.Body.clear();
    result.Error = "The answer is larger than " + std::to_string(options.MaxBodyBytes) + " bytes.";
    return result;
  }
  if (code != CURLE_OK) {
    result.Error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
    return result;
  }
  // Only a 2xx answer is the answer asked for; a redirect is not followed and
  // counts as a failure like a 4xx or 5xx.
  if (result.Status < 200 || result.Status > 299) {
    result.Error = "The server answered with status " + std::to_string(result.Status) + ".";
    return result;
  }
  result.Ok = true;
  return result;
}
