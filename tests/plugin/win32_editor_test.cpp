// Guards the plug-in's editor on Windows as a host meets it: a borderless
// child of the host's window, painted from the first frame, gestures around
// every edit (drag, wheel, click), a drag ended by a lost capture or a closed
// editor, keys passed on to the host, nothing left behind after closing or
// unloading, two copies of the DLL side by side, and the process's DPI
// awareness untouched. Run under Wine by scripts/test.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_layout.h"
#include "host/vst_abi.h"
#include "image/gui_pixel_map_memory.h"
#include "platform/host_window.h"
#include "png/portable_network_graphic_pixel32.h"
#include "support/test_host.h"

namespace vb {
namespace {

using test::TTestHost;

std::wstring ClassNameOf(HWND Window) {
  wchar_t name[256] = {};
  GetClassNameW(Window, name, 256);
  return name;
}

std::vector<HWND> ChildrenOf(HWND Parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      Parent,
      [](HWND Child, LPARAM List) {
        reinterpret_cast<std::vector<HWND>*>(List)->push_back(Child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

// The window's messages: what a host's message loop does between calls.
void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

const TEditorControlSpec& Control(const char* Name) {
  return *std::find_if(std::begin(kEditorLayout), std::end(kEditorLayout),
                       [&](const TEditorControlSpec& Spec) { return std::string(Spec.Name) == Name; });
}

LPARAM At(POINT Point) { return MAKELPARAM(Point.x, Point.y); }

bool InMeter(std::int32_t X, std::int32_t Y) {
  return std::any_of(std::begin(kEditorLayout), std::end(kEditorLayout), [&](const TEditorControlSpec& Spec) {
    return Spec.Kind == TEditorControlKind::eckDisplay && X >= Spec.Left && X < Spec.Left + Spec.Width &&
           Y >= Spec.Top && Y < Spec.Top + Spec.Height;
  });
}

// Pixels of Picture that differ from the PNG at Path (the Linux editor's
// snapshot at 1x), the meters left out: they show whatever the two
// editors last measured.
std::size_t PixelsDifferingFrom(const TMemoryBitmap& Picture, const char* Path) {
  std::FILE* file = std::fopen(Path, "rb");
  if (file == nullptr) return SIZE_MAX;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(bytes.data(), bytes.size());
  TGuiPixelMapMemory reference;
  png.AssignTo(reference);
  if (reference.Width() != Picture.Width() || reference.Height() != Picture.Height()) return SIZE_MAX;
  std::size_t differing = 0;
  for (std::int32_t y = 0; y < Picture.Height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(Picture.View().Row(y));
    for (std::int32_t x = 0; x < Picture.Width(); ++x)
      if (!InMeter(x, y) && (row[x] & 0xFFFFFF) != (reference.ScanLine(y)[x].ARGB() & 0xFFFFFF)) ++differing;
  }
  return differing;
}

// A picture for a person to look at (binary PPM).
void SavePortablePixmap(const TMemoryBitmap& Picture, const char* Path) {
  std::FILE* file = std::fopen(Path, "wb");
  if (file == nullptr) return;
  std::fprintf(file, "P6\n%d %d\n255\n", Picture.Width(), Picture.Height());
  for (std::int32_t y = 0; y < Picture.Height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(Picture.View().Row(y));
    for (std::int32_t x = 0; x < Picture.Width(); ++x) {
      const unsigned char rgb[3] = {static_cast<unsigned char>(row[x] >> 16), static_cast<unsigned char>(row[x] >> 8),
                                    static_cast<unsigned char>(row[x])};
      std::fwrite(rgb, 1, 3, file);
    }
  }
  std::fclose(file);
}

// A host with the plug-in loaded and its editor open in a window of the
// size effEditGetRect answered.
class TOpenEditor {
 public:
  explicit TOpenEditor(const std::string& Path = VB_PLUGIN_PATH) : FHost(Path) {
    FHost.StartUp(48000.0f, 256);
    ERect* rect = nullptr;
    FHost.Dispatch(effEditGetRect, 0, 0, &rect);
    if (rect != nullptr) {
      FWidth = rect->Right - rect->Left;
      FHeight = rect->Bottom - rect->Top;
    }
    FFrame = CreateHostWindow(FWidth, FHeight, "Win32 editor test");
    FFrame->Show(2000);
    const std::size_t memoryBefore = PrivateBytes();
    const ULONGLONG openStart = GetTickCount64();
    FOpened = FHost.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(FFrame->NativeHandle())) != 0;
    Pump();
    // Figures for a person to read, never asserted: the first frame is
    // shown during effEditOpen.
    FOpenMs = GetTickCount64() - openStart;
    FOpenBytes = PrivateBytes() - std::min(PrivateBytes(), memoryBefore);
    const std::vector<HWND> children = ChildrenOf(Frame());
    if (!children.empty()) FEditor = children.front();
  }
  ~TOpenEditor() { Close(); }

  void Close() {
    if (FOpened) FHost.Dispatch(effEditClose);
    FOpened = false;
    Pump();
  }
  // FreeLibrary with the editor open, as a host that gives up on a plug-in.
  void UnloadWithEditorOpen() {
    FHost.Abandon();
    FHost.Unload();
    FOpened = false;
    Pump();
  }
  TTestHost& Host() { return FHost; }
  HWND Frame() const { return reinterpret_cast<HWND>(FFrame->NativeHandle()); }
  HWND Editor() const { return FEditor; }
  bool Opened() const { return FOpened; }
  std::uint64_t OpenMilliseconds() const { return FOpenMs; }
  std::size_t OpenBytes() const { return FOpenBytes; }
  static std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine reports no private usage; its working set is the resident size.
    return std::max<std::size_t>(counters.PrivateUsage, counters.WorkingSetSize);
  }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  THostWindow& FrameWindow() { return *FFrame; }

  // The centre of a control of the layout, in the editor's device pixels.
  POINT CentreOf(const char* Name) const {
    const TEditorControlSpec& spec = Control(Name);
    const double factor = double(FWidth) / kEditorWidth;
    return POINT{LONG((spec.Left + spec.Width / 2) * factor), LONG((spec.Top + spec.Height / 2) * factor)};
  }
  // The index of the parameter the host knows by Name.
  std::int32_t Parameter(const std::string& Name) {
    for (std::int32_t index = 0; index < 64; ++index)
      if (FHost.DispatchText(effGetParamName, index) == Name) return index;
    return -1;
  }
  // Opcodes of the gesture calls (begin, automate, end) made for Index.
  std::vector<std::int32_t> GestureCalls(std::int32_t Index) const {
    std::vector<std::int32_t> opcodes;
    for (const test::THostCall& call : FHost.Calls()) {
      const bool gesture = call.Opcode == amBeginEdit || call.Opcode == amEndEdit || call.Opcode == amAutomate;
      if (gesture && call.Index == Index && (opcodes.empty() || opcodes.back() != call.Opcode))
        opcodes.push_back(call.Opcode);
    }
    return opcodes;
  }

 private:
  TTestHost FHost;
  std::unique_ptr<THostWindow> FFrame;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  HWND FEditor = nullptr;
  bool FOpened = false;
  std::uint64_t FOpenMs = 0;
  std::size_t FOpenBytes = 0;
};

const std::vector<std::int32_t> kWholeGesture = {amBeginEdit, amAutomate, amEndEdit};

TEST(Win32Editor, OpensAsABorderlessChildOfItsOwnClassAndShowsTheFrame) {
  TOpenEditor editor;
  ASSERT_TRUE(editor.Opened());
  ASSERT_NE(editor.Editor(), nullptr);
  std::printf("figure: effEditOpen to first frame %llu ms, %.1f MiB more memory, %d x %d pixels\n",
              static_cast<unsigned long long>(editor.OpenMilliseconds()), editor.OpenBytes() / 1048576.0,
              editor.Width(), editor.Height());
  EXPECT_EQ(ChildrenOf(editor.Frame()).size(), 1u);
  const LONG_PTR style = GetWindowLongPtrW(editor.Editor(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  EXPECT_EQ(ClassNameOf(editor.Editor()).rfind(L"VordaBrasswickEditor", 0), 0u);
  RECT client{};
  GetClientRect(editor.Editor(), &client);
  EXPECT_EQ(client.right, editor.Width());
  EXPECT_EQ(client.bottom, editor.Height());
  // The editor never takes the focus from its host.
  EXPECT_NE(GetFocus(), editor.Editor());

  // The first frame is the editor, not an empty window: the dark panel
  // and its white captions both show.
  auto picture = editor.FrameWindow().Grab();
  ASSERT_NE(picture, nullptr);
  if (const char* path = std::getenv("VB_WIN32_SNAPSHOT")) SavePortablePixmap(*picture, path);
  std::size_t white = 0, dark = 0;
  for (std::int32_t y = 0; y < picture->Height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(picture->View().Row(y));
    for (std::int32_t x = 0; x < picture->Width(); ++x) {
      const std::uint32_t rgb = row[x] & 0xFFFFFF;
      white += rgb == 0xFFFFFF;
      dark += (rgb & 0xFF) < 0x40 && ((rgb >> 8) & 0xFF) < 0x40 && ((rgb >> 16) & 0xFF) < 0x40;
    }
  }
  const std::size_t all = std::size_t(picture->Width()) * picture->Height();
  EXPECT_GT(white, all / 200);
  EXPECT_GT(dark, all / 2);
  // Pixel for pixel the Linux editor (scripts/test hands over its snapshot,
  // taken at 1x).
  const char* reference = std::getenv("VB_LINUX_EDITOR_PNG");
  if (reference != nullptr && editor.Width() == kEditorWidth) {
    EXPECT_EQ(PixelsDifferingFrom(*picture, reference), 0u) << "against " << reference;
  }
}

TEST(Win32Editor, DragWheelAndClickEachMakeOneGesture) {
  TOpenEditor editor;
  ASSERT_NE(editor.Editor(), nullptr);
  const HWND window = editor.Editor();
  const std::int32_t drive = editor.Parameter("Drive");
  ASSERT_GE(drive, 0);

  // A drag: press, move up, release.
  const POINT dial = editor.CentreOf("DialDrive");
  const float before = editor.Host().GetParameter(drive);
  editor.Host().ClearCalls();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(dial));
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(POINT{dial.x, dial.y - 40}));
  SendMessageW(window, WM_LBUTTONUP, 0, At(POINT{dial.x, dial.y - 40}));
  EXPECT_EQ(editor.GestureCalls(drive), kWholeGesture);
  EXPECT_GT(editor.Host().GetParameter(drive), before);

  // A wheel notch on the dial the press gave the focus.
  editor.Host().ClearCalls();
  POINT screen = dial;
  ClientToScreen(window, &screen);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(editor.GestureCalls(drive), kWholeGesture);

  // A click on a switch.
  const std::int32_t stereo = editor.Parameter("Stereo");
  ASSERT_GE(stereo, 0);
  const float stereoBefore = editor.Host().GetParameter(stereo);
  editor.Host().ClearCalls();
  const POINT button = editor.CentreOf("SwitchStereo");
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(button));
  SendMessageW(window, WM_LBUTTONUP, 0, At(button));
  EXPECT_EQ(editor.GestureCalls(stereo), kWholeGesture);
  EXPECT_NE(editor.Host().GetParameter(stereo), stereoBefore);
}

TEST(Win32Editor, ADragEndsItsGestureWhenTheCaptureIsLostOrTheEditorCloses) {
  TOpenEditor editor;
  ASSERT_NE(editor.Editor(), nullptr);
  const std::int32_t drive = editor.Parameter("Drive");
  const POINT dial = editor.CentreOf("DialDrive");

  // Another window takes the capture mid-drag (a host's dialog, Alt+Tab).
  editor.Host().ClearCalls();
  SendMessageW(editor.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, At(dial));
  EXPECT_EQ(GetCapture(), editor.Editor());
  SendMessageW(editor.Editor(), WM_MOUSEMOVE, MK_LBUTTON, At(POINT{dial.x, dial.y - 20}));
  SetCapture(editor.Frame());
  Pump();
  EXPECT_EQ(editor.GestureCalls(drive), kWholeGesture);
  ReleaseCapture();
  // The next drag starts afresh.
  editor.Host().ClearCalls();
  SendMessageW(editor.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, At(dial));
  SendMessageW(editor.Editor(), WM_MOUSEMOVE, MK_LBUTTON, At(POINT{dial.x, dial.y - 20}));
  SendMessageW(editor.Editor(), WM_LBUTTONUP, 0, At(POINT{dial.x, dial.y - 20}));
  EXPECT_EQ(editor.GestureCalls(drive), kWholeGesture);

  // The host closes the editor mid-drag.
  editor.Host().ClearCalls();
  SendMessageW(editor.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, At(dial));
  SendMessageW(editor.Editor(), WM_MOUSEMOVE, MK_LBUTTON, At(POINT{dial.x, dial.y - 20}));
  editor.Close();
  EXPECT_EQ(editor.GestureCalls(drive), kWholeGesture);
  EXPECT_EQ(GetCapture(), nullptr);
}

// The host's frame records the keys that reach it.
std::vector<WPARAM> GKeysAtTheFrame;
WNDPROC GFrameProcedure = nullptr;
LRESULT CALLBACK RecordingFrameProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_KEYDOWN) GKeysAtTheFrame.push_back(WParam);
  return CallWindowProcW(GFrameProcedure, Window, Message, WParam, LParam);
}

TEST(Win32Editor, KeysTheEditorDoesNotUseReachTheHostsWindow) {
  TOpenEditor editor;
  ASSERT_NE(editor.Editor(), nullptr);
  GKeysAtTheFrame.clear();
  GFrameProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(editor.Frame(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingFrameProcedure)));
  // The space bar, as a user starts the host's transport over the editor.
  SendMessageW(editor.Editor(), WM_KEYDOWN, VK_SPACE, 1);
  SetWindowLongPtrW(editor.Frame(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GFrameProcedure));
  EXPECT_EQ(GKeysAtTheFrame, std::vector<WPARAM>{VK_SPACE});
}

TEST(Win32Editor, OpeningAndClosingLeavesNoWindowClassOrHandleBehind) {
  TOpenEditor editor;
  ASSERT_NE(editor.Editor(), nullptr);
  const std::wstring className = ClassNameOf(editor.Editor());
  HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(editor.Editor(), GWLP_HINSTANCE));
  editor.Close();
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_NE(editor.Host().Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(editor.Frame())), 0);
    Pump();
    EXPECT_EQ(ChildrenOf(editor.Frame()).size(), 1u);
    editor.Host().Dispatch(effEditClose);
    Pump();
    ASSERT_TRUE(ChildrenOf(editor.Frame()).empty()) << "cycle " << cycle;
  }
  // Wine answers 0 here; Windows counts the process's GDI objects.
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 2);
  // The class goes with the last window, so an unload leaves none behind.
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetClassInfoExW(module, className.c_str(), &info));
}

TEST(Win32Editor, TwoCopiesOfTheDllRunSideBySideAndUnloadCleanly) {
  // A second copy under another name, as a bridge or a second installed
  // version loads it: each has its own window class.
  const std::filesystem::path copy = std::filesystem::path(VB_BINARY_DIR) / "VordaBrasswickCopy.dll";
  ASSERT_TRUE(CopyFileW(std::filesystem::path(VB_PLUGIN_PATH).wstring().c_str(), copy.wstring().c_str(), FALSE));
  std::wstring firstClass, secondClass;
  HINSTANCE firstModule = nullptr;
  {
    TOpenEditor first;
    TOpenEditor second(copy.string());
    ASSERT_NE(first.Editor(), nullptr);
    ASSERT_NE(second.Editor(), nullptr);
    firstClass = ClassNameOf(first.Editor());
    secondClass = ClassNameOf(second.Editor());
    EXPECT_NE(firstClass, secondClass);
    firstModule = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(first.Editor(), GWLP_HINSTANCE));
    // Both answer input.
    SendMessageW(second.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, At(second.CentreOf("SwitchStereo")));
    SendMessageW(second.Editor(), WM_LBUTTONUP, 0, At(second.CentreOf("SwitchStereo")));
    EXPECT_GT(second.Host().CountCalls(amAutomate), 0u);
    EXPECT_EQ(first.Host().CountCalls(amBeginEdit), 0u);
    // The first host unloads its DLL with the editor still open, as a host
    // that gives up on a plug-in does: the window goes with the module.
    first.UnloadWithEditorOpen();
    EXPECT_TRUE(ChildrenOf(first.Frame()).empty());
    EXPECT_EQ(ChildrenOf(second.Frame()).size(), 1u);
  }
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetClassInfoExW(firstModule, firstClass.c_str(), &info));
  // Loaded again, it works again.
  TOpenEditor again;
  EXPECT_NE(again.Editor(), nullptr);
  std::error_code ignored;
  std::filesystem::remove(copy, ignored);
}

// A host's window moved to a monitor of another scale: the editor is built
// again at the new factor in the same place and asks for the new size.
// Under Wine no window can change monitors, so the new scale comes from the
// first source of the scale decision, VB_EDITOR_SCALE.
TEST(Win32Editor, AMoveToAnotherScaleRebuildsTheEditorAndAsksForTheNewSize) {
  _putenv_s("VB_EDITOR_SCALE", "1");
  TOpenEditor editor;
  ASSERT_NE(editor.Editor(), nullptr);
  const auto moveTo = [&](const char* Scale) {
    _putenv_s("VB_EDITOR_SCALE", Scale);
    const std::vector<HWND> before = ChildrenOf(editor.Frame());
    if (!before.empty()) SendMessageW(before.front(), WM_DPICHANGED_AFTERPARENT, 0, 0);
    editor.Host().ClearCalls();
    editor.Host().Dispatch(effEditIdle);
    Pump();
  };
  const auto sizeRequests = [&] {
    std::vector<std::pair<std::int32_t, std::intptr_t>> requests;
    for (const test::THostCall& call : editor.Host().Calls())
      if (call.Opcode == amSizeWindow) requests.emplace_back(call.Index, call.Value);
    return requests;
  };
  const auto childSize = [&] {
    const std::vector<HWND> children = ChildrenOf(editor.Frame());
    RECT client{};
    if (children.size() == 1) GetClientRect(children.front(), &client);
    return std::make_pair(std::int32_t(children.size()), std::make_pair(client.right, client.bottom));
  };

  moveTo("2");
  EXPECT_EQ(sizeRequests(),
            (std::vector<std::pair<std::int32_t, std::intptr_t>>{{kEditorWidth * 2, kEditorHeight * 2}}));
  EXPECT_EQ(childSize(), std::make_pair(1, std::make_pair(LONG(kEditorWidth * 2), LONG(kEditorHeight * 2))));

  // An idle without a move changes nothing.
  editor.Host().ClearCalls();
  editor.Host().Dispatch(effEditIdle);
  EXPECT_TRUE(sizeRequests().empty());

  // A move that keeps the scale rebuilds but asks for nothing.
  moveTo("2");
  EXPECT_TRUE(sizeRequests().empty());
  EXPECT_EQ(childSize().first, 1);

  moveTo("1");
  EXPECT_EQ(sizeRequests(), (std::vector<std::pair<std::int32_t, std::intptr_t>>{{kEditorWidth, kEditorHeight}}));
  EXPECT_EQ(childSize(), std::make_pair(1, std::make_pair(LONG(kEditorWidth), LONG(kEditorHeight))));
  _putenv_s("VB_EDITOR_SCALE", "");
}

// A user32 function of Windows 10 and later by name; null where it is missing.
template <typename TFunction>
TFunction User32(const char* Name) {
  return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), Name)));
}
using TGetThreadContext = void*(WINAPI*)();
using TSetThreadContext = void*(WINAPI*)(void*);
using TGetAwareness = int(WINAPI*)(void*);

// The process's DPI awareness as Windows 10 and later report it (null where
// the call does not exist).
void* ProcessAwareness() {
  auto getContext = User32<TGetThreadContext>("GetThreadDpiAwarenessContext");
  auto getAwareness = User32<TGetAwareness>("GetAwarenessFromDpiAwarenessContext");
  if (getContext == nullptr || getAwareness == nullptr) return nullptr;
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(getAwareness(getContext()) + 1));
}

TEST(Win32Editor, LeavesTheProcessesDpiAwarenessAsItFoundIt) {
  void* before = ProcessAwareness();
  {
    TOpenEditor editor;
    ASSERT_NE(editor.Editor(), nullptr);
    EXPECT_EQ(ProcessAwareness(), before);
  }
  EXPECT_EQ(ProcessAwareness(), before);
}

// The editor answers its rectangle in device pixels: at the screen's
// density when the host is DPI-aware, at 1x when it is not (Windows then
// scales the host's windows as pictures). scripts/test runs this at 96 and
// at 192 dpi (Wine's LogPixels).
TEST(Win32Editor, AnswersItsRectangleInDevicePixelsForTheHostsAwareness) {
  auto setContext = User32<TSetThreadContext>("SetThreadDpiAwarenessContext");
  auto getContext = User32<TGetThreadContext>("GetThreadDpiAwarenessContext");
  auto awareness = User32<TGetAwareness>("GetAwarenessFromDpiAwarenessContext");
  if (setContext == nullptr || getContext == nullptr || awareness == nullptr)
    GTEST_SKIP() << "no per-thread DPI awareness here";
  // The width for the awareness the system granted the thread: the screen's
  // density when aware, 1x when not.
  const auto expectedWidth = [&] {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (awareness(getContext()) == 0) return kEditorWidth;
    return dpi >= 168 ? kEditorWidth * 2 : dpi >= 120 ? (kEditorWidth * 3 + 1) / 2 : kEditorWidth;
  };
  const auto check = [&](const char* Host) {
    TOpenEditor editor;
    EXPECT_EQ(editor.Width(), expectedWidth()) << Host;
    RECT client{};
    GetClientRect(editor.Editor(), &client);
    EXPECT_EQ(client.right, editor.Width()) << Host << ": the window opens at the size answered before";
  };
  check("the process's own awareness");
  // The host's decision, for its own thread: per-monitor aware (v2).
  void* previous = setContext(reinterpret_cast<void*>(-4));
  check("a per-monitor aware thread");
  setContext(previous);
}

}  // namespace
}  // namespace vb
