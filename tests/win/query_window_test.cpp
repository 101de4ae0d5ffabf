// The query window as the host and the user meet it, through the real module.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/win/driver.h"

namespace {

using driver::Session;

class QueryWindow : public ::testing::Test {
 protected:
  driver::Module module;
  driver::HostWindow host;
};

TEST_F(QueryWindow, LooksAsDesigned) {
  ASSERT_NE(nullptr, module.showdll());
  Session session;
  session.Run(module.showdll(), host.hwnd(),
              {[&] {
                HWND query = driver::QueryWindow();
                if (!query) return false;
                EXPECT_EQ(L"卷烟单位查询", driver::TextOf(query));
                EXPECT_EQ(host.hwnd(), GetWindow(query, GW_OWNER));
                RECT outer, client;
                GetWindowRect(query, &outer);
                GetClientRect(query, &client);
                EXPECT_EQ(170, outer.left);
                EXPECT_EQ(148, outer.top);
                EXPECT_EQ(470, outer.right - outer.left);
                EXPECT_EQ(332, outer.bottom - outer.top);
                EXPECT_EQ(460, client.right);
                EXPECT_EQ(303, client.bottom);

                // No title-bar buttons: no system menu, hence no close box.
                const LONG style = GetWindowLongW(query, GWL_STYLE);
                EXPECT_EQ(0, style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
                EXPECT_NE(0, style & WS_CAPTION);
                EXPECT_NE(0, style & WS_THICKFRAME);

                // Only "退出" shows on the toolbar, at its left end.
                HWND exit = driver::ChildWithText(query, L"退出");
                EXPECT_NE(nullptr, exit);
                for (const wchar_t* hidden : {L"打印", L"设置", L"查找", L"刷新", L"首条", L"上条", L"下条", L"末条",
                                              L"新增", L"编辑", L"删除", L"提交", L"取消"}) {
                  HWND button = driver::ChildWithText(query, hidden);
                  EXPECT_TRUE(button && !IsWindowVisible(button)) << "visible: " << hidden;
                }
                RECT button;
                GetWindowRect(exit, &button);
                MapWindowPoints(nullptr, GetParent(exit), reinterpret_cast<POINT*>(&button), 2);
                EXPECT_EQ(0, button.left);
                EXPECT_EQ(35, button.right - button.left);
                EXPECT_EQ(35, button.bottom - button.top);

                EXPECT_NE(nullptr, driver::ChildWithText(query, L"卷烟单位查询"));  // the title band
                EXPECT_EQ(nullptr, driver::ChildWithText(query, L"基础管理"));

                // The grid below the 73-pixel top area, with its three columns and the focus.
                HWND grid = driver::Grid(query);
                EXPECT_NE(nullptr, grid);
                RECT grid_rect;
                GetWindowRect(grid, &grid_rect);
                MapWindowPoints(nullptr, query, reinterpret_cast<POINT*>(&grid_rect), 2);
                EXPECT_EQ(73, grid_rect.top);
                EXPECT_EQ(230, grid_rect.bottom - grid_rect.top);
                EXPECT_EQ(460, grid_rect.right - grid_rect.left);
                EXPECT_EQ(grid, GetFocus());

                HWND header = ListView_GetHeader(grid);
                EXPECT_EQ(3, Header_GetItemCount(header));
                const wchar_t* captions[] = {L"卷烟基准单位", L"转换系数", L"卷烟单位"};
                const int widths[] = {163, 140, 131};
                for (int i = 0; i < 3; ++i) {
                  wchar_t text[64] = {};
                  HDITEMW item{};
                  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
                  item.pszText = text;
                  item.cchTextMax = 64;
                  Header_GetItem(header, i, &item);
                  EXPECT_STREQ(captions[i], text);
                  EXPECT_EQ(widths[i], item.cxy);
                  EXPECT_EQ(HDF_CENTER, item.fmt & HDF_JUSTIFYMASK) << "column " << i;
                }

                // The host takes no input while the window is open.
                EXPECT_FALSE(IsWindowEnabled(host.hwnd()));
                driver::PostExit(query);
                return true;
              }});
  EXPECT_TRUE(session.finished_all);
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
  EXPECT_EQ(nullptr, driver::QueryWindow());
}

TEST_F(QueryWindow, CannotBeMovedOrResizedWithTheMouse) {
  Session session;
  HWND seen = nullptr;
  session.Run(module.showdll(), host.hwnd(),
              {[&] {
                seen = driver::QueryWindow();
                if (!seen) return false;
                RECT rc;
                GetWindowRect(seen, &rc);
                const POINT points[] = {
                    {rc.left + 100, rc.top + 10},     // caption bar
                    {rc.left + 1, rc.top + 100},      // left frame
                    {rc.right - 2, rc.bottom - 2},    // bottom-right corner
                    {rc.left + 200, rc.bottom - 1},   // bottom frame
                    {rc.left + 100, rc.top + 150},    // client area
                };
                for (const POINT& p : points) {
                  EXPECT_EQ(HTCLIENT, SendMessageW(seen, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)))
                      << p.x - rc.left << "," << p.y - rc.top;
                }
                // A drag on the caption bar and a double click on it change nothing.
                SetCursorPos(rc.left + 100, rc.top + 10);
                INPUT inputs[4] = {};
                for (auto& in : inputs) in.type = INPUT_MOUSE;
                inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE;
                inputs[1].mi.dx = 80;
                inputs[1].mi.dy = 60;
                inputs[2].mi.dwFlags = MOUSEEVENTF_MOVE;
                inputs[2].mi.dx = 40;
                inputs[2].mi.dy = 30;
                inputs[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(4, inputs, sizeof(INPUT));
                SendMessageW(seen, WM_NCLBUTTONDBLCLK, HTCLIENT, MAKELPARAM(rc.left + 100, rc.top + 10));
                return true;
              },
               [&] {
                 driver::Pump();
                 RECT rc;
                 GetWindowRect(seen, &rc);
                 EXPECT_EQ(170, rc.left);
                 EXPECT_EQ(148, rc.top);
                 EXPECT_EQ(470, rc.right - rc.left);
                 EXPECT_EQ(332, rc.bottom - rc.top);
                 EXPECT_FALSE(IsZoomed(seen));
                 driver::PostExit(seen);
                 return true;
               }});
  EXPECT_TRUE(session.finished_all);
}

TEST_F(QueryWindow, IsDestroyedBeforeShowdllReturnsAndEachCallMakesAFreshOne) {
  HWND first = nullptr, second = nullptr;
  Session session;
  session.Run(module.showdll(), host.hwnd(), {[&] {
                first = driver::QueryWindow();
                if (!first) return false;
                driver::PostExit(first);
                return true;
              }});
  ASSERT_TRUE(session.finished_all);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(host.hwnd(), GetActiveWindow());

  session.Run(module.showdll(), host.hwnd(), {[&] {
                second = driver::QueryWindow();
                if (!second) return false;
                EXPECT_EQ(L"卷烟单位查询", driver::TextOf(second));
                driver::PostExit(second);
                return true;
              }});
  EXPECT_TRUE(session.finished_all);
  EXPECT_FALSE(IsWindow(second));
}

TEST_F(QueryWindow, NullStringsAndAZeroHostHandle) {
  auto expect_owner = [&](HWND owner) {
    return [owner] {
      HWND query = driver::QueryWindow();
      if (!query) return false;
      EXPECT_EQ(owner, GetWindow(query, GW_OWNER));
      driver::PostExit(query);
      return true;
    };
  };
  Session session;
  // All five strings null and no host window: the window has no owner.
  session.Run(module.showdll(), nullptr, {expect_owner(nullptr)}, {nullptr, nullptr, nullptr, nullptr, nullptr});
  EXPECT_TRUE(session.finished_all);
  // A handle given by one call is removed by a zero one in the next.
  session.Run(module.showdll(), host.hwnd(), {expect_owner(host.hwnd())});
  EXPECT_TRUE(session.finished_all);
  session.Run(module.showdll(), nullptr, {expect_owner(nullptr)});
  EXPECT_TRUE(session.finished_all);
  // A handle that names no window any more owns nothing, and is no reason to fail.
  HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  session.Run(module.showdll(), gone, {expect_owner(nullptr)});
  EXPECT_TRUE(session.finished_all);
}

TEST_F(QueryWindow, AQuitMessageEndsTheCallAndReachesTheHostLoop) {
  Session session;
  HWND seen = nullptr;
  session.Run(module.showdll(), host.hwnd(), {[&] {
                seen = driver::QueryWindow();
                if (!seen) return false;
                PostQuitMessage(7);
                return true;
              }});
  EXPECT_TRUE(session.finished_all);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, msg.wParam);

  // Later calls show their windows as usual.
  session.Run(module.showdll(), host.hwnd(), {[&] {
                HWND query = driver::QueryWindow();
                if (!query) return false;
                driver::PostExit(query);
                return true;
              }});
  EXPECT_TRUE(session.finished_all);
}

TEST(Module, CanBeUnloadedRightAfterTheCallAndLoadedAgain) {
  driver::HostWindow host;
  for (int round = 0; round < 3; ++round) {
    driver::Module module;
    ASSERT_NE(nullptr, module.showdll());
    Session session;
    session.Run(module.showdll(), host.hwnd(), {[&] {
                  HWND query = driver::QueryWindow();
                  if (!query) return false;
                  driver::PostExit(query);
                  return true;
                }});
    EXPECT_TRUE(session.finished_all) << "round " << round;
  }
  driver::Pump();  // nothing is left to be dispatched into the unloaded module
}

}  // namespace
