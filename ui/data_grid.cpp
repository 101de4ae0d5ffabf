#include "ui/data_grid.h"

#include <commctrl.h>

namespace ui {
namespace {

// The header shows no sizing pointer over its dividers: the columns keep their widths.
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
      return TRUE;
    case WM_LBUTTONDBLCLK:  // a double click on a divider would fit the column's width
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &HeaderProc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

DataGrid::DataGrid(Control* parent) : Control(parent) {}

void DataGrid::Create() {
  CreateSystemWindow(WC_LISTVIEWW,
                     WS_TABSTOP | WS_BORDER | WS_HSCROLL | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                         LVS_SHOWSELALWAYS,
                     0);
  ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  if (HWND header = ListView_GetHeader(Handle())) SetWindowSubclass(header, &HeaderProc, 1, 0);
  // Columns added before the window existed go in now.
  std::vector<GridColumn> pending;
  pending.swap(columns_);
  for (const auto& column : pending) AddColumn(column);
}

void DataGrid::AddColumn(const GridColumn& column) {
  columns_.push_back(column);
  if (!Handle()) return;
  const int index = static_cast<int>(columns_.size()) - 1;
  LVCOLUMNW lvc{};
  lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  lvc.fmt = column.right_aligned && index > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
  lvc.cx = column.width;
  lvc.pszText = const_cast<wchar_t*>(columns_.back().caption.c_str());
  lvc.iSubItem = index;
  ListView_InsertColumn(Handle(), index, &lvc);
  // Headers are centred whatever the cells' alignment.
  if (HWND header = ListView_GetHeader(Handle())) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_CENTER | HDF_STRING;
    Header_SetItem(header, index, &item);
  }
}

void DataGrid::SetHeaderColor(TColor color) {
  header_color_ = color;
  if (HWND header = Handle() ? ListView_GetHeader(Handle()) : nullptr) InvalidateRect(header, nullptr, TRUE);
}

void DataGrid::SetSource(GridSource* source) {
  source_ = source;
  Refresh();
}

void DataGrid::Refresh() {
  if (!Handle()) return;
  const int rows = source_ ? source_->RowCount() : 0;
  syncing_ = true;
  ListView_SetItemCountEx(Handle(), rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  syncing_ = false;
  SelectCurrent();
  InvalidateRect(Handle(), nullptr, TRUE);
}

void DataGrid::SelectCurrent() {
  const int row = source_ ? source_->CurrentRow() : -1;
  syncing_ = true;
  ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0) {
    ListView_SetItemState(Handle(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Handle(), row, FALSE);
  }
  syncing_ = false;
}

bool DataGrid::OnNotify(NMHDR* header, LRESULT* result) {
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if ((info->item.mask & LVIF_TEXT) && source_ && info->item.iItem < source_->RowCount()) {
        text_buffer_ = source_->CellText(info->item.iItem, info->item.iSubItem);
        lstrcpynW(info->item.pszText, text_buffer_.c_str(), info->item.cchTextMax);
      }
      *result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      // The focused row is the current row: the data moves with it.
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (!syncing_ && source_ && change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED) &&
          !(change->uOldState & LVIS_FOCUSED)) {
        source_->MoveTo(change->iItem);
      }
      return false;
    }
    case LVN_ODFINDITEMW:  // typing searches nothing
      *result = -1;
      return true;
    default:
      return false;
  }
}

bool DataGrid::OnHeaderNotify(NMHDR* header, LRESULT* result) {
  switch (header->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_BEGINDRAG:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
      *result = TRUE;  // no column is moved or resized
      return true;
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
      UniqueBrush brush(CreateSolidBrush(ColorToRgb(header_color_)));
      if (draw->dwDrawStage == CDDS_PREPAINT) {
        FillRect(draw->hdc, &draw->rc, brush.get());
        *result = CDRF_NOTIFYITEMDRAW;
        return true;
      }
      if (draw->dwDrawStage == CDDS_ITEMPREPAINT) {
        RECT rc = draw->rc;
        FillRect(draw->hdc, &rc, brush.get());
        // Flat: one line of shadow at the right and bottom edges.
        UniqueBrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        RECT right{rc.right - 1, rc.top, rc.right, rc.bottom};
        RECT bottom{rc.left, rc.bottom - 1, rc.right, rc.bottom};
        FillRect(draw->hdc, &right, shadow.get());
        FillRect(draw->hdc, &bottom, shadow.get());
        const size_t index = draw->dwItemSpec;
        if (index < columns_.size()) {
          SelectGuard font(draw->hdc, FontHandle());
          SetBkMode(draw->hdc, TRANSPARENT);
          SetTextColor(draw->hdc, ColorToRgb(GetFont().color));
          DrawTextW(draw->hdc, columns_[index].caption.c_str(), -1, &rc,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        *result = CDRF_SKIPDEFAULT;
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

bool DataGrid::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom == ListView_GetHeader(Handle())) return OnHeaderNotify(header, result);
      return false;
    }
    case WM_KEYDOWN:
      switch (wparam) {
        case VK_LEFT:
          SendMessageW(Handle(), WM_HSCROLL, SB_LINELEFT, 0);
          return true;
        case VK_RIGHT:
          SendMessageW(Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
          return true;
        case VK_DELETE:
          if (GetKeyState(VK_CONTROL) < 0) DeleteWithConfirmation();
          return true;
        case VK_INSERT:
        case VK_RETURN:
          return true;
        default:
          return false;
      }
    case WM_CHAR:  // no cell is edited, and typing does not search
      return true;
    default:
      return false;
  }
}

void DataGrid::DeleteWithConfirmation() {
  if (!source_ || !source_->CanDelete()) return;
  if (MessageBoxW(Handle(), L"Delete record?", L"Confirm", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  source_->DeleteCurrent();
  Refresh();
}

}  // namespace ui
