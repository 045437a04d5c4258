#include "Reflection.h"

#include "MessageTrust.h"

namespace gui {

namespace {

using TChildOf = HWND (*)(HWND parent, const TMessage& m);

HWND ChildInLParam(HWND, const TMessage& m) { return reinterpret_cast<HWND>(m.LParam); }

// Any program may post a WM_NOTIFY with any lParam (the platform refuses to post the other
// records below, and copies them when another process sends one). The record is read only from
// this process's memory, and only when it names a child of this parent by window and by id.
HWND NotifySender(HWND parent, const TMessage& m) {
  const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
  if (!IsReadableMemory(header, sizeof *header)) return nullptr;
  HWND from = header->hwndFrom;
  if (!IsWindow(from) || GetAncestor(from, GA_PARENT) != parent) return nullptr;
  auto id = static_cast<UINT_PTR>(GetDlgCtrlID(from));
  return header->idFrom == id && m.WParam == id ? from : nullptr;
}

HWND DrawItemChild(HWND, const TMessage& m) {
  auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
}

HWND MeasureItemChild(HWND parent, const TMessage& m) {
  // The control may still be inside its own creation: it is found by its id.
  auto* mi = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
  return mi->CtlType == ODT_MENU ? nullptr : GetDlgItem(parent, static_cast<int>(mi->CtlID));
}

HWND DeleteItemChild(HWND, const TMessage& m) { return reinterpret_cast<const DELETEITEMSTRUCT*>(m.LParam)->hwndItem; }
HWND CompareItemChild(HWND, const TMessage& m) { return reinterpret_cast<const COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; }

struct TReflection {
  UINT msg;
  TChildOf child;
};

constexpr TReflection kReflected[] = {
    {WM_COMMAND, ChildInLParam},          {WM_NOTIFY, NotifySender},
    {WM_DRAWITEM, DrawItemChild},         {WM_MEASUREITEM, MeasureItemChild},
    {WM_DELETEITEM, DeleteItemChild},     {WM_COMPAREITEM, CompareItemChild},
    {WM_VKEYTOITEM, ChildInLParam},       {WM_CHARTOITEM, ChildInLParam},
    {WM_HSCROLL, ChildInLParam},          {WM_VSCROLL, ChildInLParam},
    {WM_CTLCOLOREDIT, ChildInLParam},     {WM_CTLCOLORLISTBOX, ChildInLParam},
    {WM_CTLCOLORBTN, ChildInLParam},      {WM_CTLCOLORSCROLLBAR, ChildInLParam},
    {WM_CTLCOLORSTATIC, ChildInLParam},
};

const TReflection* FindReflection(UINT msg) {
  for (const auto& r : kReflected)
    if (r.msg == msg) return &r;
  return nullptr;
}

}  // namespace

bool IsReflectedMessage(UINT msg) { return FindReflection(msg) != nullptr; }

HWND ReflectionTarget(HWND parent, const TMessage& m) {
  const TReflection* r = FindReflection(m.Msg);
  return r ? r->child(parent, m) : nullptr;
}

}  // namespace gui
