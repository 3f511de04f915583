// Registration of the twelve classes under Wine, conventions several of them share, and the five
// classes that have no further description beyond their traits.
#include "control_test_support.h"
#include "kv_controls.h"
#include "window_capture.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

HBRUSH SystemBrush(int colour) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
}

struct ClassAttributes {
    const char* name;
    UINT style;
    bool arrowCursor;
    HBRUSH background;
};

const ClassAttributes kClasses[] = {
    {"2DCHART", CS_DBLCLKS, true, SystemBrush(COLOR_WINDOW)},
    {"KVSCOPE", 0, true, SystemBrush(COLOR_WINDOW)},
    {"3DCHART", CS_DBLCLKS, true, SystemBrush(COLOR_WINDOW)},
    {"KVDATACHART", CS_DBLCLKS, true, SystemBrush(COLOR_WINDOW)},
    {"KVTEXTPROGRESS", CS_HREDRAW | CS_VREDRAW, true, nullptr},
    {"KVRICHSTATIC", CS_HREDRAW | CS_VREDRAW, true, nullptr},
    {"KVGRIDCONTROL", CS_DBLCLKS, false, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))},
    {"KVDIGITALGAUGEREADOUT", 0, true, SystemBrush(COLOR_WINDOW)},
    {"KVANALOGGAUGE", CS_DBLCLKS, true, SystemBrush(COLOR_WINDOW)},
    {"KVSTATUSGAUGE", CS_DBLCLKS, true, SystemBrush(COLOR_WINDOW)},
    {"KVTABSHEET", CS_HREDRAW | CS_VREDRAW, true, SystemBrush(COLOR_BTNFACE)},
    {"KVPROPTREECONTAINER", 0, true, SystemBrush(COLOR_BTNFACE)},
};

// Every test starts with the classes registered, as the program has them after start-up; the
// registration tests put back what they take away, whatever order the tests run in.
class ClassesRegistered : public ::testing::Environment {
  public:
    void SetUp() override { RegisterControlClasses(Instance()); }
};

[[maybe_unused]] ::testing::Environment* const g_classesRegistered =
    ::testing::AddGlobalTestEnvironment(new ClassesRegistered);

class Registration : public ::testing::Test {
  protected:
    void TearDown() override { RegisterControlClasses(Instance()); }
};

TEST_F(Registration, RegistersTwelveClassesOnceAndFailsQuietlyTheSecondTime) {
    for (const ClassAttributes& attributes : kClasses) {
        ASSERT_TRUE(UnregisterClassA(attributes.name, Instance())) << attributes.name;
    }
    EXPECT_NE(RegisterControlClasses(Instance()), 0);
    EXPECT_EQ(RegisterControlClasses(Instance()), 0);
    TestHost host(200, 100);
    for (const ClassAttributes& attributes : kClasses) {
        SCOPED_TRACE(attributes.name);
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExA(Instance(), attributes.name, &info));
        EXPECT_EQ(info.style, attributes.style);
        EXPECT_EQ(info.hCursor, attributes.arrowCursor ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
        EXPECT_EQ(info.hbrBackground, attributes.background);
        EXPECT_EQ(info.cbClsExtra, 0);
        EXPECT_EQ(info.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)))
            << "a slot that holds a 64-bit address";
        EXPECT_EQ(info.hIcon, nullptr);
        EXPECT_EQ(info.lpszMenuName, nullptr);
        HWND control = host.CreateChild(attributes.name, "", 0, 0, 100, 50);
        EXPECT_NE(control, nullptr) << "still usable after the second registration";
        DestroyWindow(control);
    }
}

TEST_F(Registration, EveryClassIsTriedWhateverHappenedBefore) {
    // Only the text progress class is missing: the four before it fail, it succeeds, and the
    // answer is still that of the last class.
    ASSERT_TRUE(UnregisterClassA("KVTEXTPROGRESS", Instance()));
    EXPECT_EQ(RegisterControlClasses(Instance()), 0);
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(Instance(), "KVTEXTPROGRESS", &info));
}

TEST_F(Registration, DataChartIsNotRegisteredTwiceForAnInstance) {
    EXPECT_EQ(RegisterDataChartClass(Instance()), 0);
    ASSERT_TRUE(UnregisterClassA("KVDATACHART", Instance()));
    EXPECT_NE(RegisterDataChartClass(Instance()), 0);
}

struct ControlCase {
    const char* name;
    WORD contextMenuCode; // 0: sends none
};

const ControlCase kOwnControls[] = {
    {"3DCHART", 0x4CE},   {"KVDATACHART", 0x0001},          {"KVTEXTPROGRESS", 0},
    {"KVGRIDCONTROL", 0}, {"KVDIGITALGAUGEREADOUT", 0x590}, {"KVPROPTREECONTAINER", 0},
};

TEST(Conventions, ContextMenuRequestsReachTheParentWithTheClassCode) {
    TestHost host(300, 200);
    for (const ControlCase& c : kOwnControls) {
        SCOPED_TRACE(c.name);
        const std::size_t before = host.commands().size();
        HWND control = host.CreateChild(c.name, "", 0, 0, 200, 120, 42);
        ASSERT_NE(control, nullptr);
        const std::size_t created = host.commands().size();
        EXPECT_EQ(
            SendMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(12, 34)), 0);
        const auto& commands = host.commands();
        if (c.contextMenuCode == 0) {
            EXPECT_EQ(commands.size(), created);
        } else {
            ASSERT_EQ(commands.size(), created + 1);
            EXPECT_EQ(commands.back().wParam, MAKEWPARAM(42, c.contextMenuCode));
            EXPECT_EQ(commands.back().lParam, MAKELPARAM(12, 34));
        }
        EXPECT_EQ(created, before) << "creation notifies nothing";
        DestroyWindow(control);
    }
}

TEST(Conventions, WindowTextIsSetAndReadAsForAnyWindow) {
    struct TextCase {
        const char* name;
        std::size_t longest; // characters the control keeps
    } cases[] = {{"KVTEXTPROGRESS", 259}, {"KVRICHSTATIC", 259}, {"2DCHART", 99}};
    TestHost host(300, 200);
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND control = host.CreateChild(c.name, "", 0, 0, 200, 120);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(SetWindowTextA(control, "Operation Status"));
        EXPECT_EQ(GetWindowTextLengthA(control), 16);
        char text[400] = {};
        EXPECT_EQ(GetWindowTextA(control, text, sizeof text), 16);
        EXPECT_STREQ(text, "Operation Status");

        const std::string tooLong(c.longest + 20, 'w');
        EXPECT_TRUE(SetWindowTextA(control, tooLong.c_str()));
        EXPECT_EQ(GetWindowTextLengthA(control), static_cast<int>(c.longest));
        GetWindowTextA(control, text, sizeof text);
        EXPECT_EQ(std::string(text), tooLong.substr(0, c.longest));
        DestroyWindow(control);
    }
}

TEST(GridControl, TitleOver300CharactersIsReplacedByAWarning) {
    TestHost host(300, 200);
    HWND grid = host.CreateChild("KVGRIDCONTROL", "Cells", 0, 0, 200, 120);
    char title[400] = {};
    EXPECT_EQ(GetWindowTextA(grid, title, sizeof title), 5);
    EXPECT_STREQ(title, "Cells");

    const std::string longest(300, 't');
    EXPECT_TRUE(SetWindowTextA(grid, longest.c_str()));
    GetWindowTextA(grid, title, sizeof title);
    EXPECT_EQ(std::string(title), longest);
    EXPECT_EQ(GetWindowTextLengthA(grid), 300);

    const std::string tooLong(301, 't');
    SetWindowTextA(grid, tooLong.c_str());
    GetWindowTextA(grid, title, sizeof title);
    EXPECT_STREQ(title, "Title too long (300 chars max)");
}

TEST(GridControl, ShowsCellsUnderItsTitleAndSetsItsOwnCursor) {
    TestHost host(300, 200);
    HWND grid = host.CreateChild("KVGRIDCONTROL", "Cells", 0, 0, 200, 120);
    const Image image = CaptureClient(grid);
    SaveScreenshot(image, "grid_control.png");
    const std::uint32_t line = PixelOf(GetSysColor(COLOR_BTNSHADOW));
    const std::uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
    const std::uint32_t cell = PixelOf(GetSysColor(COLOR_WINDOW));
    // Cells of 64 by 20 under a 20-pixel title band.
    EXPECT_EQ(image.At(2, 2), face);
    EXPECT_EQ(image.At(64, 50), line);
    EXPECT_EQ(image.At(128, 50), line);
    EXPECT_EQ(image.At(30, 40), line);
    EXPECT_EQ(image.At(30, 60), line);
    EXPECT_EQ(image.At(30, 50), cell);
    EXPECT_EQ(image.At(100, 70), cell);
    EXPECT_EQ(
        SendMessageA(grid, WM_SETCURSOR, reinterpret_cast<WPARAM>(grid), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

// A control of the class in a host of its own as it first shows, also saved as an artifact.
Image FirstView(const char* className, const char* caption, int width, int height, const char* artifact) {
    TestHost host(300, 200);
    const Image image = CaptureClient(host.CreateChild(className, caption, 0, 0, width, height));
    SaveScreenshot(image, artifact);
    return image;
}

TEST(DigitalReadout, ShowsTitleValueAndUnitsInAFrame) {
    // The caption gives the title and, after a line break, the units.
    const Image image = FirstView("KVDIGITALGAUGEREADOUT", "Boost\nkPa", 160, 100, "digital_readout.png");
    const std::uint32_t text = PixelOf(GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_NE(image.At(0, 50), PixelOf(GetSysColor(COLOR_WINDOW))) << "the frame";
    EXPECT_GT(CountPixels(image, 2, 2, 158, 25, text), 5) << "the title line";
    EXPECT_GT(CountPixels(image, 2, 25, 158, 75, text), 50) << "the value in large digits";
    EXPECT_GT(CountPixels(image, 2, 75, 158, 98, text), 5) << "the units line";

    const Image titleOnly =
        FirstView("KVDIGITALGAUGEREADOUT", "Boost", 160, 100, "digital_readout_without_units.png");
    EXPECT_TRUE(SameArea(image, titleOnly, 0, 0, 160, 75)) << "the title ends at the line break";
    EXPECT_EQ(CountPixels(titleOnly, 2, 75, 158, 98, text), 0) << "no units given, none shown";
}

TEST(DataChart, DrawsItsAxesOnTheLeftAndAtTheBottom) {
    const Image image = FirstView("KVDATACHART", "", 200, 120, "data_chart.png");
    const std::uint32_t axis = PixelOf(GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(CountPixels(image, 23, 0, 24, 96, axis), 96) << "the left axis along the plot area";
    EXPECT_EQ(CountPixels(image, 24, 96, 200, 97, axis), 176) << "the bottom axis";
    EXPECT_EQ(CountPixels(image, 24, 0, 200, 96, axis), 0) << "an empty plot area";
}

TEST(Chart3D, DrawsTheCubeAndItsCaption) {
    const Image image = FirstView("3DCHART", "", 200, 160, "chart3d.png");
    const std::uint32_t ink = PixelOf(GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_GT(CountPixels(image, 0, 0, 200, 16, ink), 10) << "the caption";
    EXPECT_GT(CountPixels(image, 0, 16, 200, 160, ink), 100) << "the axes";
}

TEST(PropTreeContainer, HoldsATreeAndPassesOkAndCancelOn) {
    TestHost host(400, 300);
    HWND container = host.CreateChild("KVPROPTREECONTAINER", "", 0, 0, 360, 240, 9);
    char className[32] = {};
    HWND tree = GetWindow(container, GW_CHILD);
    bool foundTree = false;
    for (; tree != nullptr; tree = GetWindow(tree, GW_HWNDNEXT)) {
        GetClassNameA(tree, className, sizeof className);
        foundTree = foundTree || lstrcmpiA(className, "SysTreeView32") == 0;
    }
    EXPECT_TRUE(foundTree);
    char caption[16] = {};
    GetWindowTextA(GetDlgItem(container, IDOK), caption, sizeof caption);
    EXPECT_STREQ(caption, "OK");
    GetWindowTextA(GetDlgItem(container, IDCANCEL), caption, sizeof caption);
    EXPECT_STREQ(caption, "Cancel");
    RECT okRect;
    GetWindowRect(GetDlgItem(container, IDOK), &okRect);
    EXPECT_GT(okRect.right - okRect.left, 0) << "laid out";

    SendMessageA(GetDlgItem(container, IDOK), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(container, IDCANCEL), BM_CLICK, 0, 0);
    const auto& commands = host.commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(LOWORD(commands[0].wParam), IDOK);
    EXPECT_EQ(LOWORD(commands[1].wParam), IDCANCEL);
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(container));
    SaveScreenshot(CaptureClient(container), "prop_tree_container.png");
}

} // namespace
