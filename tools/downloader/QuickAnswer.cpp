#include "QuickAnswer.h"

#include "AnswersFormat.h"
#include "GuardVariable.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brenlow::tool::quick {
namespace {

constexpr char kDefaultTemplate[] = "%(title)s [%(id)s].%(ext)s";
constexpr char kLineEnd[] = "\r\n";

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool readFile(const std::string& path, std::string& into)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    into.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        into.append(buffer, static_cast<size_t>(n));
    }
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

/** The kept answers of one link. */
struct Kept
{
    std::string link, page, address, codes, list;
    bool hasList = false;
    Fields fields;
};

bool parse(const std::string& file, Kept& kept)
{
    std::string_view rest(file);
    const std::string_view header(answers::kHeader);
    if (rest.substr(0, header.size()) != header)
        return false;
    rest.remove_prefix(header.size());
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        const size_t eol = rest.find('\n');
        if (blank == std::string_view::npos || eol == std::string_view::npos || blank > eol)
            return false;
        const std::string_view tag = rest.substr(0, blank);
        const std::string_view digits = rest.substr(blank + 1, eol - blank - 1);
        size_t length = 0;
        if (digits.empty() || digits.size() > 9)
            return false;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
            length = length * 10 + static_cast<size_t>(c - '0');
        }
        rest.remove_prefix(eol + 1);
        if (rest.size() < length + 1 || rest[length] != '\n')
            return false;
        const std::string_view bytes = rest.substr(0, length);
        rest.remove_prefix(length + 1);
        if (tag == answers::kLink)
            kept.link = bytes;
        else if (tag == answers::kPage)
            kept.page = bytes;
        else if (tag == answers::kAddress)
            kept.address = bytes;
        else if (tag == answers::kCodes)
            kept.codes = bytes;
        else if (tag == answers::kList) {
            kept.list = bytes;
            kept.hasList = true;
        } else if (tag == answers::kField) {
            const size_t nul = bytes.find('\0');
            if (nul == std::string_view::npos)
                return false;
            kept.fields.emplace(std::string(bytes.substr(0, nul)), std::string(bytes.substr(nul + 1)));
        }
    }
    return true;
}

/** Seconds since the file was last written, as the core counts them; -1 when it is not there. */
long ageSeconds(const struct stat& st)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long ms = (static_cast<long long>(now.tv_sec) - st.st_mtim.tv_sec) * 1000 +
                         (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    return ms < 0 ? -1 : static_cast<long>(ms / 1000);
}

/** Whether the file was written within the last maxAge seconds. A second of margin: where the core
 *  would only just take it, the core answers. */
bool freshFile(const std::string& path, long maxAge, struct stat* out = nullptr)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const long age = ageSeconds(st);
    if (out)
        *out = st;
    return age >= 0 && age < maxAge - 1;
}

/** The folder of the page cache, as the core finds it; empty when it is not there. */
std::string cacheFolder()
{
    std::string base = env("XDG_CACHE_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = env("HOME");
        if (home.empty() || home.front() != '/')
            return {};
        base = home + "/.cache";
    }
    return base + "/brenlow/pages";
}

/** Whether the core would find yt-dlp: the answers came from it, and without it the core answers
 *  otherwise. */
bool ytDlpThere()
{
    const auto executable = [](const std::string& path) {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
    };
    std::string name = "yt-dlp";
    if (const char* chosen = std::getenv("BRENLOW_YTDLP")) {
        name = chosen;
        if (name.empty())
            return false;
        if (name.find('/') != std::string::npos)
            return executable(name);
    }
    const std::string path = env("PATH");
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find(':', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string dir = path.substr(at, end - at);
        if (!dir.empty() && executable(dir + '/' + name))
            return true;
        at = end + 1;
    }
    return false;
}

/** What the window asked, from the arguments the core accepts; nothing for anything else. */
struct Request
{
    enum class Mode
    {
        Download,
        FormatList,
        Thumbnail,
        Name
    } mode = Mode::Download;
    std::string output, link;
    bool hasOutput = false;
};

std::optional<Request> parseArguments(int argc, char* argv[])
{
    Request r;
    bool haveLink = false, optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.empty() || a.front() != '-' || a.size() == 1) {
            if (haveLink)
                return std::nullopt;
            r.link = a;
            haveLink = true;
            continue;
        }
        if (a == "-o" || a == "--output") {
            if (i + 1 >= argc)
                return std::nullopt;
            r.output = argv[++i];
            r.hasOutput = true;
        } else if (a == "-F" || a == "--list-formats")
            r.mode = Request::Mode::FormatList;
        else if (a == "--write-thumbnail")
            r.mode = Request::Mode::Thumbnail;
        else if (a == "--get-filename")
            r.mode = Request::Mode::Name;
        else if (a == "-s" || a == "--simulate" || a == "--skip-download" || a == "-i" ||
                 a == "--ignore-errors" || a == "--no-playlist")
            continue;
        else
            return std::nullopt; // a download, or something the core explains
    }
    if (!haveLink || r.mode == Request::Mode::Download)
        return std::nullopt;
    return r;
}

/** Replaces the file at path whole with bytes, as the core writes a thumbnail. */
bool replaceFile(const std::string& path, std::string_view bytes)
{
    const std::string scratch = path + '.' + std::to_string(::getpid()) + ".tmp";
    ::unlink(scratch.c_str());
    const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) != 0 || !written || ::rename(scratch.c_str(), path.c_str()) != 0) {
        ::unlink(scratch.c_str());
        return false;
    }
    return true;
}

} // namespace

void RecordArguments(int argc, char* argv[])
{
    const std::string dir = env("BRENLOW_TOOL_RECORD_DIR");
    if (dir.empty())
        return;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%020lld-%08d",
                  static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, static_cast<int>(::getpid()));
    const std::string base = dir + '/' + stamp;
    std::string bytes;
    for (int i = 1; i < argc; ++i)
        bytes.append(argv[i]).push_back('\0');
    const int fd = ::open((base + ".tmp").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) == 0 && written)
        ::rename((base + ".tmp").c_str(), (base + ".args").c_str());
}

void RecordTime(const timespec& start, long childrenPeakKiB)
{
    const std::string path = env("BRENLOW_TOOL_TIMING_FILE");
    if (path.empty())
        return;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const double seconds =
        static_cast<double>(now.tv_sec - start.tv_sec) + static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e9;
    std::string status, peak = "0";
    if (readFile("/proc/self/status", status)) {
        const size_t at = status.find("VmHWM:");
        if (at != std::string::npos) {
            const size_t from = status.find_first_not_of(" \t", at + 6);
            const size_t to = status.find_first_of(" \t\n", from);
            if (from != std::string::npos)
                peak = status.substr(from, to - from);
        }
    }
    char line[128];
    std::snprintf(line, sizeof line, "%.6f %s %ld\n", seconds, peak.c_str(), childrenPeakKiB);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd >= 0) {
        (void)writeAll(fd, line);
        ::close(fd);
    }
}

namespace {

std::string pageStamp(const struct stat& st)
{
    return std::to_string(st.st_size) + ' ' + std::to_string(st.st_mtim.tv_sec) + ' ' +
           std::to_string(st.st_mtim.tv_nsec);
}

/** Whether the bytes are UTF-8 as the core reads its arguments (it takes them as UTF-8 text). */
bool validUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        uint32_t code = n == 1 ? c : c & (0x7f >> n);
        for (size_t j = 1; j < n; ++j) {
            const auto d = static_cast<unsigned char>(s[i + j]);
            if ((d & 0xc0) != 0x80)
                return false;
            code = code << 6 | (d & 0x3f);
        }
        static constexpr uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[n] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        i += n;
    }
    return true;
}

} // namespace

std::optional<std::string> FillName(std::string_view tpl, const Fields& fields)
{
    for (const char c : tpl) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt;
    }
    static constexpr std::string_view flags = "-#0+ 0123456789.";
    static constexpr std::string_view conversions = "diouxXeEfFgGcrsaBjlqDSU";
    std::string out;
    size_t at = 0;
    while (at < tpl.size()) {
        if (tpl[at] == '%' && at + 1 < tpl.size() && tpl[at + 1] == '(') {
            const size_t close = tpl.find(')', at + 2);
            if (close != std::string_view::npos) {
                size_t end = close + 1;
                while (end < tpl.size() && flags.find(tpl[end]) != std::string_view::npos)
                    ++end;
                if (end < tpl.size() && conversions.find(tpl[end]) != std::string_view::npos) {
                    const std::string_view name = tpl.substr(at + 2, close - at - 2);
                    const auto found = fields.find(name);
                    out += found == fields.end() ? std::string_view("NA") : std::string_view(found->second);
                    at = end + 1;
                    continue;
                }
            }
        }
        const unsigned char c = static_cast<unsigned char>(tpl[at]);
        out += c < 0x20 || c == 0x7f ? ' ' : static_cast<char>(c);
        ++at;
    }
    return out;
}

std::optional<int> Answer(int argc, char* argv[])
{
    timespec start{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    if (std::getenv(kGuardVariable) || std::getenv("BRENLOW_TOOL_CATALOGUE"))
        return std::nullopt;
    const std::optional<Request> request = parseArguments(argc, argv);
    if (!request)
        return std::nullopt;
    const std::string folder = cacheFolder();
    if (folder.empty())
        return std::nullopt;
    const std::string base = folder + '/' + Sha256Hex(request->link);
    std::string file;
    Kept kept;
    if (!readFile(base + answers::kSuffix, file) || !parse(file, kept) || kept.link != request->link)
        return std::nullopt;
    // The answers hold while the page they were made from is the one kept, and young enough.
    const bool list = request->mode == Request::Mode::FormatList;
    struct stat page{};
    if (!freshFile(base + ".json", list ? answers::kListedAgeSeconds : answers::kMetadataAgeSeconds, &page) ||
        pageStamp(page) != kept.page || !ytDlpThere())
        return std::nullopt;

    std::string printed;
    if (list) {
        std::string codes;
        if (!kept.hasList || !readFile(base + ".codes", codes) || codes != kept.codes)
            return std::nullopt;
        // Marked as used, as the core does, so the codes stay while the link is used.
        const std::string path = base + ".codes";
        if (::utimensat(AT_FDCWD, path.c_str(), nullptr, 0) != 0)
            return std::nullopt;
        printed = kept.list;
    } else if (request->mode == Request::Mode::Name) {
        const auto name = FillName(request->hasOutput ? std::string_view(request->output) : kDefaultTemplate,
                                   kept.fields);
        if (!name)
            return std::nullopt;
        printed = *name + kLineEnd;
    } else {
        // Only a picture made ready from the same address, written to a path without fields.
        std::string picture;
        if (kept.address.empty() || request->output.empty() || !validUtf8(request->output) ||
            request->output.find("%(") != std::string::npos ||
            !freshFile(base + ".jpg", answers::kMetadataAgeSeconds) || !readFile(base + ".jpg", picture))
            return std::nullopt;
        const std::string head = kept.link + '\n' + kept.address + '\n';
        if (picture.size() <= head.size() || picture.compare(0, head.size(), head) != 0 ||
            !replaceFile(request->output, std::string_view(picture).substr(head.size())))
            return std::nullopt;
        printed = "[info] Downloading thumbnail " + kept.address + kLineEnd +
                  "[info] Writing thumbnail to: " + request->output + kLineEnd;
    }
    RecordArguments(argc, argv);
    (void)writeAll(STDOUT_FILENO, printed);
    RecordTime(start, 0);
    return 0;
}

// FIPS 180-4.
std::string Sha256Hex(std::string_view bytes)
{
    static constexpr std::array<uint32_t, 64> k = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    std::array<uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::string message(bytes);
    const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
    message.push_back(static_cast<char>(0x80));
    while (message.size() % 64 != 56)
        message.push_back('\0');
    for (int shift = 56; shift >= 0; shift -= 8)
        message.push_back(static_cast<char>((bits >> shift) & 0xff));
    const auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t block = 0; block < message.size(); block += 64) {
        std::array<uint32_t, 64> w{};
        for (int i = 0; i < 16; ++i) {
            const auto byte = [&](int j) {
                return static_cast<uint32_t>(static_cast<unsigned char>(message[block + 4 * i + j]));
            };
            w[i] = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        }
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::array<uint32_t, 8> v = h;
        for (int i = 0; i < 64; ++i) {
            const uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
            const uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
            const uint32_t t1 = v[7] + s1 + ch + k[i] + w[i];
            const uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
            const uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
            const uint32_t t2 = s0 + maj;
            v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
        }
        for (int i = 0; i < 8; ++i)
            h[i] += v[i];
    }
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (const uint32_t word : h) {
        for (int shift = 28; shift >= 0; shift -= 4)
            out.push_back(hex[(word >> shift) & 0xf]);
    }
    return out;
}

} // namespace brenlow::tool::quick
