// index --convert's page in a real browser: headless Chromium, driven over its
// DevTools pipe, opens the page from file:// and says what it loaded: every
// poster a picture, every clip's video as long as the clip, and no request
// anywhere but the page's folder (a copy of the page with one outside picture shows
// that such a request would be seen). It leaves screenshots at a phone's and
// a desktop's width in the build tree's screenshots folder.
#include "catalogue/ClipTexts.h"
#include "CliRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;
using Json = nlohmann::json;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto CALL_TIMEOUT = std::chrono::seconds(60);

// Runs in the page once it has loaded: waits for every picture and every
// video's first bytes, then tells what the page has.
const char CHECK_SCRIPT[] = R"JS((async () => {
  const settled = (targets, events) => new Promise(resolve => {
    for (const target of targets)
      for (const name of events) target.addEventListener(name, resolve, {once: true});
    setTimeout(resolve, 30000);
  });
  const images = Array.from(document.images);
  await Promise.all(images.filter(image => !image.complete).map(image => settled([image], ['load', 'error'])));
  const videos = Array.from(document.querySelectorAll('video'));
  // Nothing of a video is read before it is played; then each is asked for.
  const untouched = videos.filter(video => video.readyState === 0).length;
  const waiting = videos.filter(video => video.readyState < 1);
  const loaded = Promise.all(waiting.map(video =>
    settled([video, ...video.querySelectorAll('source')], ['loadedmetadata', 'error'])));
  for (const video of waiting) {
    video.preload = 'metadata';
    video.load();
  }
  await loaded;
  const posters = await Promise.all(videos.map(video => new Promise(resolve => {
    const image = new Image();
    image.onload = () => resolve(image.naturalWidth);
    image.onerror = () => resolve(0);
    image.src = video.poster;
  })));
  const card = element => element.closest('li') ? element.closest('li').id : '';
  return {
    images: images.map(image => ({card: card(image), alt: image.alt, width: image.naturalWidth})),
    videos: videos.map((video, k) => ({card: card(video), label: video.getAttribute('aria-label'),
                                      duration: video.duration, width: video.videoWidth,
                                      poster: posters[k]})),
    untouched,
    downloads: document.querySelectorAll('a[download]').length,
    missing: Array.from(document.querySelectorAll('.missing')).map(element => ({card: card(element),
                                                                              text: element.textContent})),
    resources: performance.getEntriesByType('resource').map(entry => entry.name),
    pageWidth: document.documentElement.scrollWidth,
    viewWidth: window.innerWidth,
  };
})())JS";

std::string Base64Decoded(const std::string& text)
{
    static const std::string ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const size_t value = ALPHABET.find(c);
        if (value == std::string::npos)
            continue;   // '=' and line ends
        bits = bits << 6 | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>(bits >> count & 0xFF);
        }
    }
    return bytes;
}

// A file:// URL of an absolute path, as the browser writes it.
std::string FileUrl(const fs::path& path)
{
    std::string url = "file://";
    for (const unsigned char c : path.string()) {
        if (std::isalnum(c) || std::string("/-._~").find(static_cast<char>(c)) != std::string::npos) {
            url += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            url += escape;
        }
    }
    return url;
}

// Headless Chromium with its DevTools protocol on a pipe: commands written to
// its descriptor 3, answers and events read from its descriptor 4, each
// message a JSON text ended by a NUL.
class Browser {
public:
    Browser(const fs::path& profile, const fs::path& log)
    {
        int toBrowser[2], fromBrowser[2];
        if (::pipe2(toBrowser, O_CLOEXEC) != 0 || ::pipe2(fromBrowser, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe for the browser");
        std::vector<std::string> args = {CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                                         "--no-first-run", "--disable-background-networking",
                                         "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                                         "--mute-audio", "--user-data-dir=" + profile.string(),
                                         "--remote-debugging-pipe", "about:blank"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        m_child = ::fork();
        if (m_child == 0) {
            ::setpgid(0, 0);   // its helpers go with it
            const int output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int input = ::open("/dev/null", O_RDONLY);
            // Out of the way of 3 and 4 first, then onto them (dup2 clears close-on-exec).
            const int commands = ::fcntl(toBrowser[0], F_DUPFD, 10), answers = ::fcntl(fromBrowser[1], F_DUPFD, 10);
            if (output < 0 || input < 0 || commands < 0 || answers < 0 || ::dup2(input, 0) < 0 ||
                ::dup2(output, 1) < 0 || ::dup2(output, 2) < 0 || ::dup2(commands, 3) < 0 || ::dup2(answers, 4) < 0)
                ::_exit(127);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(toBrowser[0]);
        ::close(fromBrowser[1]);
        m_to = toBrowser[1];
        m_from = fromBrowser[0];
        if (m_child < 0)
            throw std::runtime_error("the browser cannot be started");
    }

    ~Browser()
    {
        try {
            Call("Browser.close");
        } catch (const std::exception&) {
        }
        ::close(m_to);
        ::close(m_from);
        for (int waited = 0; waited < 100; ++waited) {
            if (::waitpid(m_child, nullptr, WNOHANG) == m_child)
                return;
            ::usleep(50000);
        }
        ::kill(-m_child, SIGKILL);
        ::waitpid(m_child, nullptr, 0);
    }

    Json Call(const std::string& method, const Json& params = Json::object(), const std::string& session = "")
    {
        const int id = m_nextId++;
        Json message = {{"id", id}, {"method", method}, {"params", params}};
        if (!session.empty())
            message["sessionId"] = session;
        const std::string text = message.dump() + '\0';
        for (size_t written = 0; written < text.size();) {
            const ssize_t n = ::write(m_to, text.data() + written, text.size() - written);
            if (n <= 0)
                throw std::runtime_error("the browser took no command: " + method);
            written += static_cast<size_t>(n);
        }
        const Clock::time_point deadline = Clock::now() + CALL_TIMEOUT;
        while (true) {
            const Json answer = Next(deadline, method);
            if (answer.value("id", 0) != id)
                continue;
            if (answer.contains("error"))
                throw std::runtime_error(method + ": " + answer["error"].dump());
            return answer["result"];
        }
    }

    void WaitFor(const std::string& event, const std::string& session)
    {
        const Clock::time_point deadline = Clock::now() + CALL_TIMEOUT;
        for (size_t seen = 0;; ++seen) {
            while (seen < m_events.size()) {
                if (m_events[seen].value("method", "") == event && m_events[seen].value("sessionId", "") == session)
                    return;
                ++seen;
            }
            Next(deadline, event);
            --seen;
        }
    }

    // The URLs the pages of a session asked for, as the network layer saw them.
    std::vector<std::string> Requested(const std::string& session) const
    {
        std::vector<std::string> urls;
        for (const Json& event : m_events)
            if (event.value("method", "") == "Network.requestWillBeSent" && event.value("sessionId", "") == session)
                urls.push_back(event["params"]["request"]["url"]);
        return urls;
    }

private:
    // The next message; an event is kept.
    Json Next(Clock::time_point deadline, const std::string& waitingFor)
    {
        while (true) {
            const size_t end = m_buffer.find('\0');
            if (end != std::string::npos) {
                Json message = Json::parse(m_buffer.substr(0, end));
                m_buffer.erase(0, end + 1);
                if (!message.contains("id"))
                    m_events.push_back(message);
                return message;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd ready = {m_from, POLLIN, 0};
            if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) <= 0)
                throw std::runtime_error("the browser did not answer in time: " + waitingFor);
            char chunk[65536];
            const ssize_t n = ::read(m_from, chunk, sizeof chunk);
            if (n <= 0)
                throw std::runtime_error("the browser went away: " + waitingFor);
            m_buffer.append(chunk, static_cast<size_t>(n));
        }
    }

    pid_t m_child = -1;
    int m_to = -1;
    int m_from = -1;
    int m_nextId = 1;
    std::string m_buffer;
    std::vector<Json> m_events;
};

struct Viewport {
    const char* name;
    int width, height;
    double scale;
    bool mobile;
};
constexpr Viewport PHONE = {"phone", 390, 844, 2, true};
constexpr Viewport DESKTOP = {"desktop", 1280, 900, 1, false};

// A page opened in a tab of its own: what the check script found.
struct Visit {
    std::string session;
    Json found;
};

Visit Open(Browser& browser, const std::string& url, const Viewport& viewport)
{
    const std::string target = browser.Call("Target.createTarget", {{"url", "about:blank"}})["targetId"];
    Visit visit;
    visit.session = browser.Call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})["sessionId"];
    browser.Call("Network.enable", Json::object(), visit.session);
    browser.Call("Page.enable", Json::object(), visit.session);
    browser.Call("Emulation.setDeviceMetricsOverride",
                 {{"width", viewport.width}, {"height", viewport.height}, {"deviceScaleFactor", viewport.scale},
                  {"mobile", viewport.mobile}},
                 visit.session);
    browser.Call("Page.navigate", {{"url", url}}, visit.session);
    browser.WaitFor("Page.loadEventFired", visit.session);
    const Json result = browser.Call(
        "Runtime.evaluate", {{"expression", CHECK_SCRIPT}, {"awaitPromise", true}, {"returnByValue", true}},
        visit.session);
    if (result.contains("exceptionDetails"))
        throw std::runtime_error("the check script failed: " + result["exceptionDetails"].dump());
    visit.found = result["result"]["value"];
    return visit;
}

void SaveScreenshot(Browser& browser, const Visit& visit, const fs::path& path)
{
    // The players' controls fade their loading ring out after the clip has loaded.
    browser.Call("Runtime.evaluate",
                 {{"expression", "new Promise(resolve => setTimeout(resolve, 2000))"}, {"awaitPromise", true}},
                 visit.session);
    const Json shot = browser.Call("Page.captureScreenshot", {{"format", "png"}}, visit.session);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << Base64Decoded(shot["data"]);
}

class IndexInBrowser : public ::testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(IndexInBrowser, PostersLoadVideosLastTheirClipsAndNothingComesFromOutside)
{
    // Clips of 2 to 6 seconds, titled as disc 2's; the third one damaged.
    const std::vector<uint32_t> frames = {30, 45, 60, 75, 90, 40};
    ArchiveBuilder archive;
    for (uint32_t i = 0; i < frames.size(); ++i) {
        BinkShape hi = HiResShape(frames[i], i + 1);
        if (i == 2) {
            hi.damage = BinkDamage::UnknownBlockType;
            hi.damagedFrame = 5;
        }
        archive.AddClip(BuildBinkFile(hi), BuildBinkFile(LoResShape(frames[i], i + 1)));
    }
    archive.WriteTo(m_folder / "disc2.pak");
    const CliResult indexed = RunCli({"index", "disc2.pak", "-o", "site", "--convert", "--preset", "veryfast"},
                                     m_folder.Path());
    ASSERT_EQ(indexed.status, 1) << indexed.err;   // the damaged clip

    const fs::path site = m_folder / "site";
    const std::string folderUrl = FileUrl(fs::canonical(site)) + "/";
    // The control: the same page with one picture from outside.
    std::string page = ReadWholeFile(site / "index.html");
    page.insert(page.find("</main>"), "<img src=\"http://127.0.0.1:9/outside.png\" alt=\"\">");
    std::ofstream(site / "control.html") << page;

    Browser browser(m_folder / "profile", m_folder / "browser.log");
    const fs::path screenshots = ZODOVU_SCREENSHOT_DIR;
    for (const Viewport& viewport : {PHONE, DESKTOP}) {
        SCOPED_TRACE(viewport.name);
        const Visit visit = Open(browser, folderUrl + "index.html", viewport);
        const Json& found = visit.found;
        SaveScreenshot(browser, visit, screenshots / (std::string("index-") + viewport.name + ".png"));

        // Every clip but the damaged one plays in its card, its poster shown
        // before it plays, and lasts its frames at 15 a second.
        EXPECT_EQ(found["images"].size(), 0u) << found.dump(1);
        ASSERT_EQ(found["videos"].size(), frames.size() - 1) << found.dump(1);
        EXPECT_EQ(found["untouched"], found["videos"].size());
        EXPECT_EQ(found["downloads"], found["videos"].size());
        for (const Json& video : found["videos"]) {
            const size_t index = std::stoul(video["card"].get<std::string>().substr(12)) - 1;   // disc-1-clip-N
            EXPECT_GT(video["poster"], 0) << video;
            EXPECT_EQ(video["label"], FormatClipLabel(1, static_cast<uint32_t>(index)));
            ASSERT_TRUE(video["duration"].is_number()) << video;
            EXPECT_NEAR(video["duration"].get<double>(), frames.at(index) / 15.0, 0.5 / 15) << video;
            EXPECT_EQ(video["width"], 640) << video;
        }
        ASSERT_EQ(found["missing"].size(), 1u);
        EXPECT_EQ(found["missing"][0]["card"], "disc-1-clip-3");
        EXPECT_EQ(found["missing"][0]["text"].get<std::string>().rfind("clip 3 (high-res.): frame 6 of 60: ", 0), 0u);
        EXPECT_LE(found["pageWidth"], found["viewWidth"]);   // nothing wider than the screen
        const std::vector<std::string> requested = browser.Requested(visit.session);
        EXPECT_GT(requested.size(), found["videos"].size());   // the page and its clips at least
        // data: URLs (the player's own control icons) carry their bytes and reach nothing.
        for (const std::string& url : requested)
            EXPECT_TRUE(url.rfind(folderUrl, 0) == 0 || url.rfind("data:", 0) == 0) << url;
        for (const Json& url : found["resources"])
            EXPECT_EQ(url.get<std::string>().rfind(folderUrl, 0), 0u) << url;
    }

    const Visit control = Open(browser, folderUrl + "control.html", DESKTOP);
    const std::vector<std::string> requested = browser.Requested(control.session);
    EXPECT_NE(std::find(requested.begin(), requested.end(), "http://127.0.0.1:9/outside.png"), requested.end())
        << "a request from outside the folder would not be seen";
}

} // namespace
