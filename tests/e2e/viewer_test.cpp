// The viewer as a person meets it, natively on a bare X server and under openbox, and as the
// Windows program under Wine (the 32-bit product, or the 64-bit build where the kernel cannot
// run 32-bit programs): the notice first, the window in its place, the picture, the keys,
// the trackball, the size it keeps whatever is done to the window, Esc and the close button; then how it ends
// when the platform fails it. Screenshots land in e2e-shots/<target>/.
#include "scene/viewer_texts.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

namespace {

using namespace e2e;

const Millis patience(60000), soon(20000);  // Wine may take 20 s to show anything
bool isGrey(Rgb c) { return c.near(grey, 3); }

// The Windows program the Wine prefix runs: the x86 build, or the x64 one where the prefix script
// found that the kernel cannot run 32-bit programs; null where no Wine runs here.
const char* windowsProgram() {
    std::string build;
    std::ifstream(E2E_WINE_PREFIX "/windows-build") >> build;
    return build.empty() ? nullptr : build == "x64" ? HELICOID_WINDOWS64_EXE : HELICOID_WINDOWS_EXE;
}

// Why the Windows program cannot be run here, or null after saying which one runs.
const char* whyNoWine() {
    if (windowsProgram() == nullptr) return "no Wine runs here: e2e.wine_prefix says why";
    if (access(windowsProgram(), R_OK) != 0) return "no Windows build to run";
    std::printf("under Wine: %s\n", windowsProgram());
    return nullptr;
}

// The viewer (natively, or its Windows build under Wine, which traces its message boxes) on a screen.
std::unique_ptr<Program> launch(Screen& screen, bool wine, std::vector<std::string> environment,
                                const std::string& log, const char* native = HELICOID_NATIVE_EXE) {
    environment.push_back("DISPLAY=" + screen.display());
    if (!wine) return std::make_unique<Program>(std::vector<std::string>{native}, environment, log);
    environment.push_back("WINEDEBUG=+msgbox");
    return std::make_unique<Program>(
        std::vector<std::string>{WINE_PREFIX_SCRIPT, E2E_WINE_PREFIX, "run", windowsProgram()}, environment,
        log);
}

// What to know when a window does not come: whether the program runs, what it wrote, and which
// windows the display has.
std::string why(Program& program, Screen& screen) {
    const std::optional<int> code = program.waitForExit(Millis(0));
    return "; the program " + (code ? "ended with " + std::to_string(*code) : std::string("runs")) +
           "; its output: \"" + program.output() + "\"; the windows shown: " + screen.windows();
}

struct Target {
    const char* name;
    bool wine, windowManager;
};

class Viewer : public ::testing::TestWithParam<Target> {
protected:
    const Target target = GetParam();
    const std::string shots = std::string(E2E_OUTPUT_DIR) + "/" + target.name + "/";
    std::unique_ptr<Screen> screen;
    std::unique_ptr<Program> program;
    Window window = 0;

    void SetUp() override {
        if (target.wine && whyNoWine()) GTEST_SKIP() << whyNoWine();
        screen = std::make_unique<Screen>(shots + "xvfb.log", 24, target.windowManager);
    }
    void TearDown() override {
        program.reset();
        if (target.wine && screen) screen->run({WINE_PREFIX_SCRIPT, E2E_WINE_PREFIX, "end"});
    }
    // Starts the viewer (the soak's sanitized one with its libraries kept loaded until its leak
    // check); its notice must come alone, and Return must bring the window's first frame.
    void open() {
        const char* preload = std::getenv("SOAK_PROGRAM_PRELOAD");
        program =
            launch(*screen, target.wine, {preload ? std::string("LD_PRELOAD=") + preload : "LD_PRELOAD"},
                   shots + "program.log");
        ASSERT_TRUE(screen->waitForWindow(usageNoticeCaption, patience))
            << "no notice" << why(*program, *screen) << shot("no-notice");
        EXPECT_FALSE(screen->waitForWindow(viewerWindowTitle, Millis(1500)))
            << "the window came while the notice was up";
        ASSERT_TRUE(screen->dismiss(usageNoticeCaption, patience));
        window = screen->waitForWindow(viewerWindowTitle, patience).value_or(0);
        ASSERT_TRUE(window != 0) << "no window" << why(*program, *screen) << shot("no-window");
        ASSERT_TRUE(waitUntil([&] { return picture().at(5, 5) == grey; }, patience))
            << "no first frame" << why(*program, *screen) << shot("no-first-frame");
    }
    // The outer rectangle: natively the X window (a window manager's frame lies outside it); under
    // Wine, whose X geometry lags, the frame against the desktop's colour. The client area lies
    // inside Wine's 4-pixel border and 23-pixel top.
    Rect outer() {
        if (!target.wine) return screen->rect(window).value_or(Rect{});
        const Image all = screen->grabScreen();
        return all.box([&](Rgb c) { return !(c == all.at(1279, 1023)); }).value_or(Rect{});
    }
    Rect client() {
        const Rect o = outer();
        return target.wine ? Rect{o.x + 4, o.y + 23, o.width - 8, o.height - 27} : o;
    }
    Image picture() { return screen->grab(client()); }
    std::string shot(const std::string& name) {
        screen->grabScreen().savePng(shots + name + ".png");
        return "; see " + shots + name + ".png";
    }
    Image waitForPicture(const std::string& name, const std::function<bool(const Image&)>& test) {
        Image seen;
        const bool reached = waitUntil([&] { return test(seen = picture()); }, soon);
        EXPECT_TRUE(reached) << "the picture never came" << shot(name);
        return seen;
    }
    // Whether the picture comes to rest for `span`; whether it changes `times` in a row.
    bool settles(Millis span = Millis(800)) {
        return waitUntil(
            [&] {
                const Image before = picture();
                return !waitUntil([&] { return picture() != before; }, span);
            },
            soon, Millis(0));
    }
    bool keepsChanging(int times) {
        for (Image last = picture(); times-- > 0; last = picture())
            if (!waitUntil([&] { return picture() != last; }, Millis(5000))) return false;
        return true;
    }
    void type(const char* keys) { screen->move(client().x + 10, client().y + 10), screen->key(keys); }
    void expectEndsWithZero() {
        EXPECT_TRUE(screen->waitForNoWindow(viewerWindowTitle, patience)) << "the window stays";
        EXPECT_EQ(program->waitForExit(patience), std::optional<int>(0)) << program->output();
    }
};

TEST_P(Viewer, ShowsTheModelAndAnswersKeysMouseAndResizing) {
    ASSERT_NO_FATAL_FAILURE(open());
    // At (50, 50), 0.8 of the 1024-pixel screen on each side; a window manager puts its frame there.
    const Rect start = outer();
    EXPECT_EQ(start.describe(),
              (target.windowManager ? Rect{start.x, start.y, 819, 819} : Rect{50, 50, 819, 819}).describe());

    // The model where it belongs, with only background round it (what is not background lies in
    // its box): x within +-7.99589 and its height 0..15.707963 shifted down by 9, in a view 30 units
    // across, so from 0.2335 to 0.7665 of the width and from 0.2764 to 0.8 of the height, to 4
    // pixels. Its two sides in their own colours, in whole areas rather than speckled (the coplanar
    // copies of each facet must not fight).
    ASSERT_TRUE(settles()) << "the model moves untouched";
    const Image plain = picture();
    const Rect model = plain.box([](Rgb c) { return !isGrey(c); }).value_or(Rect{});
    const int area = model.width * model.height;
    const auto at = [](int pixel, double share, int size) { return std::abs(pixel - share * size) <= 4; };
    EXPECT_TRUE(at(model.x, 0.2335, plain.width) && at(model.x + model.width, 0.7665, plain.width) &&
                at(model.y, 0.2764, plain.height) && at(model.y + model.height, 0.8, plain.height))
        << model.describe();
    EXPECT_TRUE(plain.count(isFront, model) > area / 20 && plain.count(isBack, model) > area / 20)
        << shot("first-frame");
    int pairs = 0, changes = 0;
    for (int y = model.y; y < model.y + model.height; ++y)
        for (int x = model.x; x + 1 < model.x + model.width; ++x) {
            const Rgb a = plain.at(x, y), b = plain.at(x + 1, y);
            if ((isFront(a) || isBack(a)) && (isFront(b) || isBack(b)))
                ++pairs, changes += isFront(a) != isFront(b);
        }
    EXPECT_LT(changes, pairs * 3 / 100) << "the two sides speckle into each other" << shot("first-frame");

    // f: the fog's background, and back; p: outlines, and back; capitals do nothing.
    type("f");
    const Image fogged = waitForPicture("fog", [](const Image& p) { return p.at(5, 5) == fogRed; });
    EXPECT_TRUE(fogged.box([](Rgb c) { return !c.near(fogRed, 3); })) << "the model is gone under fog";
    type("f");
    waitForPicture("fog-off", [&](const Image& p) { return p == plain; });
    type("p");
    const Image outlined = waitForPicture("outlines", [&](const Image& p) {
        return p.count(isGrey, model) > plain.count(isGrey, model) + area / 4;
    });
    EXPECT_TRUE(outlined.count(isFront, model) > 1000 && outlined.count(isBack, model) > 1000)
        << "outlines in both colours";
    type("p");
    waitForPicture("outlines-off", [&](const Image& p) { return p == plain; });
    type("F P f");
    waitForPicture("capitals-then-f", [&](const Image& p) { return p.at(5, 5) == fogRed; });
    EXPECT_TRUE(settles() && picture() == fogged) << "F or P changed the picture";
    type("f");

    // A press stops the continuous frames; a drag turns the model, which rests while the button
    // is held still; a release away from the press spins it; a click stops it.
    const Rect c = client();
    screen->move(c.x + c.width / 2, c.y + c.height / 2), screen->press();
    EXPECT_TRUE(settles()) << "the model moves while the button is held";
    const Image pressed = picture();
    screen->dragTo(c.x + c.width / 2 + 150, c.y + c.height / 2 + 80, 15);
    const Image dragged = waitForPicture("dragged", [&](const Image& p) { return p != pressed; });
    EXPECT_GT(dragged.count([&, i = 0](Rgb p) mutable { return !(p == pressed.pixels[i++]); }),
              c.width * c.height / 20)
        << "a small turn";
    EXPECT_TRUE(settles()) << "the model moves while the button is held still";
    screen->release();
    EXPECT_TRUE(keepsChanging(5)) << "the model does not spin after the release" << shot("spinning");
    screen->press(), screen->release();
    EXPECT_TRUE(settles(Millis(1500))) << "a click does not stop the model";

    // Whatever is done to the window, it comes back to its size, whole; a move keeps the place.
    // A size change must be seen first, however briefly, so that a window that never changed
    // cannot pass. Under Wine a border dragged in its desktop runs the Win32 sizing loop.
    struct Step {
        const char *name, *on;  // the targets it is done on
        bool moves, resizes;    // whether it moves the corner, and whether it sizes the window
        std::function<void(Rect)> act;
    };
    const std::string id = std::to_string(window);
    const auto drag = [&](int x, int y, int dx, int dy) {
        screen->move(x, y), screen->press(), screen->dragTo(x + dx, y + dy, 6), screen->release();
    };
    // A table, a row each, laid out as one.
    // clang-format off
    const Step steps[] = {
        {"larger", "native openbox", false, true, [&](Rect) { screen->resize(window, 1000, 900); }},
        {"moved-and-smaller", "native", true, true,
         [&](Rect r) { screen->moveResize(window, {r.x + 40, r.y + 30, 600, 500}); }},
        {"maximised", "openbox", false, true,
         [&](Rect) { screen->run({"wmctrl", "-i", "-r", id, "-b", "add,maximized_vert,maximized_horz"}); }},
        {"minimised-and-restored", "openbox", false, false, [&](Rect) {
             screen->run({"xdotool", "windowminimize", "--sync", id});
             screen->run({"wmctrl", "-i", "-a", id}); }},
        {"moved", "openbox", true, false,
         [&](Rect r) { screen->moveResize(window, {r.x + 40, r.y + 30, 819, 819}); }},
        {"larger", "wine", false, false,
         [&](Rect r) { drag(r.x + r.width - 2, r.y + r.height - 2, 90, 60); }},
        {"smaller-from-the-top-left", "wine", true, false, [&](Rect r) { drag(r.x + 1, r.y + 1, 40, 30); }},
    };
    // clang-format on
    for (const Step& step : steps) {
        if (std::string(step.on).find(target.name) == std::string::npos) continue;
        const Rect before = outer();
        const Image whole = picture();
        screen->sizeChanged(window, before.width, before.height);
        step.act(before);
        EXPECT_TRUE(!step.resizes ||
                    waitUntil([&] { return screen->sizeChanged(window, before.width, before.height); }, soon))
            << step.name << ": no change";
        Rect after;
        EXPECT_TRUE(waitUntil(
            [&] {
                after = outer();
                return after.width == before.width && after.height == before.height &&
                       (after.x != before.x || after.y != before.y) == step.moves;
            },
            soon, Millis(100)))
            << step.name << ": " << after.describe() << ", was " << before.describe() << shot(step.name);
        EXPECT_TRUE(waitUntil([&] { return picture() == whole; }, soon))
            << step.name << ": not whole" << shot(step.name);
    }
    type("Escape");
    expectEndsWithZero();
}

// The native window's icon as X11 carries it (_NET_WM_ICON: width, height, ARGB rows) is its art.
TEST_P(Viewer, CarriesItsIconAndEndsWithZeroByItsCloseButton) {
    ASSERT_NO_FATAL_FAILURE(open());
    std::vector<unsigned long> art = {32, 32}, icon = screen->property(window, "_NET_WM_ICON");
    std::ifstream in(HELICOID_ICON_ART);
    for (std::string line; std::getline(in, line);)
        for (char c : line[0] == '#' ? std::string() : line)
            art.push_back(c == 'r' ? 0xFFFF0000ul : c == 'k' ? 0xFF000000ul : 0xFF0000FFul);
    for (unsigned long& argb : icon) argb &= 0xFFFFFFFFul;
    EXPECT_TRUE(target.wine || icon == art) << "not the program's icon";
    const Rect o = outer();
    if (target.wine)  // the close box at the right end of Wine's caption
        screen->move(o.x + o.width - 12, o.y + 11), screen->press(), screen->release();
    else if (target.windowManager)
        screen->run({"wmctrl", "-i", "-c", std::to_string(window)});
    else
        screen->close(window);
    expectEndsWithZero();
}

// The soak, run on the sanitized build (linux-asan): random drags in and out of the window,
// clicks, keys and resize requests for SOAK_SECONDS (30), then Esc; the program must end with 0
// and write no sanitizer report.
TEST_P(Viewer, SurvivesRandomInput) {
    ASSERT_NO_FATAL_FAILURE(open());
    std::mt19937 pick(7);
    auto below = [&](int n) { return int(pick() % unsigned(n)); };
    const auto end =
        std::chrono::steady_clock::now() +
        std::chrono::seconds(std::getenv("SOAK_SECONDS") ? std::atoi(std::getenv("SOAK_SECONDS")) : 30);
    while (std::chrono::steady_clock::now() < end) {
        const Rect r = client();
        screen->move(r.x + below(r.width), r.y + below(r.height));
        switch (below(5)) {
        case 0:
            screen->press(), screen->release();
            break;
        case 1:
            screen->key(below(2) ? "f" : below(2) ? "p" : "F j k P");
            break;
        case 2:
            screen->resize(window, 300 + below(900), 300 + below(700));
            break;
        default:
            screen->press(), screen->dragTo(below(1280), below(1024), 4),
                screen->release();  // out of the window too
        }
    }
    type("Escape");
    expectEndsWithZero();
    EXPECT_EQ(program->output().find("Sanitizer"), std::string::npos) << program->output();
}

INSTANTIATE_TEST_SUITE_P(On, Viewer,
                         ::testing::Values(Target{"native", false, false}, Target{"openbox", false, true},
                                           Target{"wine", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each failure ends in the program's own path: an "Error" box before any window and exit code 1,
// or, without a rendering context, a window that runs on undrawn until Esc ends it with 0. Calls
// fail in the test build; GLX is missing on an 8-bit screen, indirect only (refused, as over ssh
// -X), or without a driver.
struct Failure {
    const char* name;
    bool wine;
    int depth;
    std::vector<std::string> environment;
    const char* box;  // the "Error" box's text as reported (line feeds as \n), or null: runs on
};

// A table, a row each, laid out as one.
// clang-format off
const Failure failures[] = {
    {"ChoosePixelFormatFails", false, 24, {"HELICOID_FAULTS=ChoosePixelFormat"},
     "ChoosePixelFormat failed\\n"},
    {"SetPixelFormatFails", false, 24, {"HELICOID_FAULTS=SetPixelFormat"}, "SetPixelFormat failed"},
    {"CreateWindowExAFails", false, 24, {"HELICOID_FAULTS=CreateWindowExA"}, "CreateWindow failed"},
    {"RegisterClassAFails", false, 24, {"HELICOID_FAULTS=RegisterClassA"}, "RegisterClass failed"},
    {"wglCreateContextFails", false, 24, {"HELICOID_FAULTS=wglCreateContext"}, nullptr},
    {"NoGLX", false, 8, {}, "ChoosePixelFormat failed\\n"},
    {"NoGLXUnderWine", true, 8, {}, "ChoosePixelFormat failed\\n"},
    {"IndirectGLXOnly", false, 24, {"LIBGL_ALWAYS_INDIRECT=1"}, nullptr},
    {"NoGLDriver", false, 24, {"LIBGL_DRIVERS_PATH=/nonexistent"}, nullptr},
};
// clang-format on

class Failures : public ::testing::TestWithParam<Failure> {};

TEST_P(Failures, EndInTheProgramsOwnPath) {
    const Failure& f = GetParam();
    if (f.wine && whyNoWine()) GTEST_SKIP() << whyNoWine();
    const std::string logs = std::string(E2E_OUTPUT_DIR) + "/failures/" + f.name;
    Screen screen(logs + ".xvfb.log", f.depth);
    const auto program = launch(screen, f.wine, f.environment, logs + ".program.log", HELICOID_FAULTS_EXE);
    ASSERT_TRUE(screen.dismiss(usageNoticeCaption, patience)) << "no notice" << why(*program, screen);
    if (f.box != nullptr) {
        ASSERT_TRUE(screen.waitForWindow("Error", patience)) << "no error box" << why(*program, screen);
        EXPECT_FALSE(screen.waitForWindow(viewerWindowTitle, Millis(0))) << "the window shows behind its box";
        ASSERT_TRUE(screen.dismiss("Error", soon));
        EXPECT_EQ(program->waitForExit(Millis(30000)), std::optional<int>(1)) << program->output();
        const std::string shown =
            f.wine ? std::string("L\"") + f.box + "\"" : std::string("box: Error: ") + f.box + "\n";
        EXPECT_NE(program->output().find(shown), std::string::npos) << program->output();
    } else {  // without a context: the window shows, and mouse and keys break nothing
        const std::optional<Window> window = screen.waitForWindow(viewerWindowTitle, Millis(30000));
        ASSERT_TRUE(window) << "no window" << why(*program, screen);
        const Rect r = screen.rect(*window).value_or(Rect{});
        screen.move(r.x + 400, r.y + 400), screen.press(), screen.dragTo(r.x + 520, r.y + 460, 10),
            screen.release();
        screen.key("f p j k");
        EXPECT_FALSE(program->waitForExit(Millis(1500))) << "it ended: " << program->output();
        screen.key("Escape");
        EXPECT_EQ(program->waitForExit(Millis(30000)), std::optional<int>(0)) << program->output();
    }
    if (f.wine) screen.run({WINE_PREFIX_SCRIPT, E2E_WINE_PREFIX, "end"});
}

INSTANTIATE_TEST_SUITE_P(Cases, Failures, ::testing::ValuesIn(failures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
