// Compares fetchRemoteFile with a plain libcurl loop (a new easy handle per call, the body grown
// by appending) on 500 KB and 5 MB bodies from a loopback server, in one run.
//
// Every measurement runs in a child process of its own (this program, started again with
// --child), so that the server's buffers and the other variant's heap do not colour it:
//   - time: a warm-up fetch, then `count` timed fetches; the child reports their median.
//     Rounds alternate ours/plain/plain/ours; the figure is the median over the rounds.
//   - memory: a warm-up fetch of a tiny file (libraries loaded, agent open), the peak resident
//     size reset, then one fetch of the body; the child reports peak minus resident before it.
//
// Output, one line per result:
//   fetch-500KB  <ours ms>  <plain ms>  <ours/plain>  goal<=1.1  pass|fail
//   fetch-5MB    ...
//   fetch-500KB-reserving, fetch-5MB-reserving: the same against a plain loop that reserves the
//                body from Content-Length (what our wrapper costs over libcurl itself)
//   memory-5MB   <ours MB>  <plain MB>  <ours/body>  goal<3  pass|fail

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <curl/curl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "remote/fetch_remote_file.h"
#include "test_http_server.h"

namespace {

using sousuo::Bytes;
using Clock = std::chrono::steady_clock;

constexpr std::size_t Size500K = 500 * 1024;
constexpr std::size_t Size5M = 5 * 1024 * 1024;

// ---- the plain loop --------------------------------------------------------------------------

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& body = *static_cast<Bytes*>(user);
    body.insert(body.end(), data, data + size * count);
    return size * count;
}

// The same, but the buffer is reserved from Content-Length at the first bytes, as ours does:
// it shows what our wrapper costs over libcurl itself.
struct Reserving {
    CURL* easy;
    Bytes body;
};

std::size_t appendReserving(char* data, std::size_t size, std::size_t count, void* user) {
    auto& target = *static_cast<Reserving*>(user);
    if (target.body.capacity() == 0) {
        curl_off_t length = -1;
        curl_easy_getinfo(target.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length > 0) target.body.reserve(static_cast<std::size_t>(length));
    }
    target.body.insert(target.body.end(), data, data + size * count);
    return size * count;
}

Bytes plainFetch(const std::string& url, bool reserve) {
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    Reserving target{easy.get(), {}};
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    if (reserve) {
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &appendReserving);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &target);
    } else {
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &appendBody);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &target.body);
    }
    curl_easy_perform(easy.get());
    return std::move(target.body);
}

// "ours", "plain" (the body grown by appending) or "reserving" (plain, reserved up front).
Bytes fetchWith(const std::string& variant, const std::string& url) {
    if (variant == "ours") return sousuo::fetchRemoteFile(url);
    return plainFetch(url, variant == "reserving");
}

// ---- the child: one measurement --------------------------------------------------------------

long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    }
    return -1;
}

int runChild(const std::string& mode, const std::string& variant, const std::string& url,
             const std::string& warmUrl, int count, std::size_t expected) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    if (fetchWith(variant, warmUrl).empty()) return 3;

    if (mode == "memory") {
        std::ofstream("/proc/self/clear_refs") << "5";  // peak resident size := resident now
        const long before = statusKilobytes("VmRSS:");
        const Bytes body = fetchWith(variant, url);
        const long peak = statusKilobytes("VmHWM:");
        if (body.size() != expected) return 4;
        std::printf("%ld\n", (peak - before) * 1024);
        return 0;
    }

    std::vector<double> millis;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const Bytes body = fetchWith(variant, url);
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (body.size() != expected) return 4;
    }
    std::nth_element(millis.begin(), millis.begin() + count / 2, millis.end());
    std::printf("%.4f\n", millis[static_cast<std::size_t>(count / 2)]);
    return 0;
}

// ---- the parent: rounds of children ----------------------------------------------------------

double runMeasurement(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) std::exit(2);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "measurement failed (status %d):", status);
        for (const auto& arg : args) std::fprintf(stderr, " %s", arg.c_str());
        std::fprintf(stderr, "\n");
        std::exit(1);
    }
    return std::strtod(text.c_str(), nullptr);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double ours;
    double plain;
};

Timing timeBoth(const std::string& other, const std::string& url, std::size_t size, int count,
                int rounds) {
    std::vector<double> ours;
    std::vector<double> plain;
    const std::string countText = std::to_string(count);
    const std::string sizeText = std::to_string(size);
    for (int round = 0; round < rounds; ++round) {
        // ours, other, other, ours, ...: neither variant always goes first.
        const bool oursFirst = round % 2 == 0;
        for (const std::string& variant :
             {oursFirst ? "ours" : other, oursFirst ? other : "ours"}) {
            const double ms = runMeasurement(
                {"fetch_bench", "--child", "time", variant, url, url, countText, sizeText});
            (variant == "ours" ? ours : plain).push_back(ms);
        }
    }
    return {median(ours), median(plain)};
}

void printTiming(const char* name, const Timing& timing, bool& allPass) {
    const double ratio = timing.ours / timing.plain;
    const bool pass = ratio <= 1.1;
    allPass = allPass && pass;
    std::printf("%-22s %8.3f  %8.3f  %5.3f  goal<=1.1  %s\n", name, timing.ours, timing.plain,
                ratio, pass ? "pass" : "fail");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 8 && std::string(argv[1]) == "--child") {
        return runChild(argv[2], argv[3], argv[4], argv[5], std::atoi(argv[6]),
                        static_cast<std::size_t>(std::strtoull(argv[7], nullptr, 10)));
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    sousuo::testing::TestHttpServer server;
    std::string small(Size500K, '\0');
    std::string large(Size5M, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31 % 251);
    small.assign(large, 0, Size500K);
    server.on("/500KB", sousuo::testing::Reply::ok(small));
    server.on("/5MB", sousuo::testing::Reply::ok(large));
    server.on("/tiny", sousuo::testing::Reply::ok("x"));

    bool allPass = true;
    printTiming("fetch-500KB", timeBoth("plain", server.url("/500KB"), Size500K, 100, rounds),
                allPass);
    printTiming("fetch-5MB", timeBoth("plain", server.url("/5MB"), Size5M, 15, rounds), allPass);
    printTiming("fetch-500KB-reserving",
                timeBoth("reserving", server.url("/500KB"), Size500K, 100, rounds), allPass);
    printTiming("fetch-5MB-reserving",
                timeBoth("reserving", server.url("/5MB"), Size5M, 15, rounds), allPass);

    std::vector<double> ours;
    std::vector<double> plain;
    const std::string sizeText = std::to_string(Size5M);
    for (int round = 0; round < 3; ++round) {
        for (const char* variant : {"ours", "plain"}) {
            const double bytes =
                runMeasurement({"fetch_bench", "--child", "memory", variant, server.url("/5MB"),
                                server.url("/tiny"), "1", sizeText});
            (std::string(variant) == "ours" ? ours : plain).push_back(bytes);
        }
    }
    const double oursPeak = *std::max_element(ours.begin(), ours.end());
    const double plainPeak = *std::max_element(plain.begin(), plain.end());
    const double perBody = oursPeak / static_cast<double>(Size5M);
    const bool memoryPass = perBody < 3.0;
    allPass = allPass && memoryPass;
    std::printf("%-22s %8.2f  %8.2f  %5.2f  goal<3  %s\n", "memory-5MB", oursPeak / (1 << 20),
                plainPeak / (1 << 20), perBody, memoryPass ? "pass" : "fail");
    return allPass ? 0 : 1;
}
