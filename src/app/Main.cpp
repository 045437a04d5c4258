#include "Main.h"

RTL_IMPLEMENT_CLASS(TForm1);

TForm1* Form1 = nullptr;

TForm1::TForm1(rtl::TComponent* owner) : TForm(owner) { InitFromResource(); }

namespace {

template <class T>
void FreeNow(T*& component) {
  if (component) component->Free();
  component = nullptr;
}

}  // namespace

TForm1::~TForm1() {
  // These three go first, in this order: the connection is closed without waiting, the caption's
  // hook comes off the window, the controller frees its timer pool. The rest follow, last created
  // first, while the window still exists.
  Destroying();
  FreeNow(RAS1);
  FreeNow(GxFormStyler1);
  FreeNow(EcController1);
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::DeclareProperties(rtl::TClassBuilder<TForm1>& b) {
  b.Field("btnDial", &TForm1::btnDial);
  b.Field("FxLabel1", &TForm1::FxLabel1);
  b.Field("FxLabel2", &TForm1::FxLabel2);
  b.Field("EcURL1", &TForm1::EcURL1);
  b.Field("cbConn", &TForm1::cbConn);
  b.Field("StatusBar1", &TForm1::StatusBar1);
  b.Field("GxFormStyler1", &TForm1::GxFormStyler1);
  b.Field("EcController1", &TForm1::EcController1);
  b.Field("GxBitmapList1", &TForm1::GxBitmapList1);
  b.Field("RAS1", &TForm1::RAS1);
  b.Field("MainMenu1", &TForm1::MainMenu1);
  b.Field("Exit1", &TForm1::Exit1);
  b.Field("About1", &TForm1::About1);
  b.Field("About", &TForm1::About);
  b.Method("FormCreate", &TForm1::FormCreate);
  b.Method("cbConnChange", &TForm1::cbConnChange);
  b.Method("Exit1Click", &TForm1::Exit1Click);
  b.Method("About1Click", &TForm1::About1Click);
  b.Method("btnDialClick", &TForm1::btnDialClick);
  b.Method("RAS1StateChanged", &TForm1::RAS1StateChanged);
  b.Method("RAS1PortOpened", &TForm1::RAS1PortOpened);
  b.Method("RAS1Connect", &TForm1::RAS1Connect);
  b.Method("RAS1Disconnect", &TForm1::RAS1Disconnect);
}

void TForm1::FormCreate(rtl::TObject*) {
  // Any failure simply leaves the list empty: the user may still type a name.
  RAS1->GetPhoneBookEntries();
  cbConn->Items().Assign(RAS1->PhoneBookEntries());
}

void TForm1::cbConnChange(rtl::TObject*) {
  RAS1->SetEntryName(cbConn->Text());
  ShowEntryStatus();
}

void TForm1::ShowEntryStatus() {
  if (RAS1->GetEntryDialParams() != 0)
    StatusBar1->SetSimpleText("No Parameters Available - Check Dial Up Networking");
  StatusBar1->Update();  // visible even while the thread is busy
}

void TForm1::Exit1Click(rtl::TObject*) { Close(); }

void TForm1::About1Click(rtl::TObject*) { About->Execute(); }

void TForm1::btnDialClick(rtl::TObject*) {
  if (cbConn->Text().empty()) {
    gui::Application->MessageBox("Please Select the Entry to Dial !", "Warning", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The caption is the window's only record of what the button does next. Results arrive
  // through the component's events.
  if (btnDial->Caption() == "Dial")
    RAS1->Dial();
  else
    RAS1->HangUp();
}

void TForm1::RAS1StateChanged(rtl::TObject*) {
  StatusBar1->SetSimpleText(RAS1->StatusStr());
  StatusBar1->Update();
}

void TForm1::RAS1PortOpened(rtl::TObject*) { btnDial->SetCaption("Hang Up"); }

void TForm1::RAS1Connect(rtl::TObject*) { SetWindowState(gui::wsMinimized); }

void TForm1::RAS1Disconnect(rtl::TObject*, int32_t, const std::string&) {
  btnDial->SetCaption("Dial");
  SetWindowState(gui::wsNormal);
}
