#include "Main.h"

RTL_IMPLEMENT_CLASS(TForm1);

TForm1* Form1 = nullptr;

TForm1::TForm1(rtl::TComponent* owner) : TForm(owner) { InitFromResource(); }

void TForm1::DeclareProperties(rtl::TClassBuilder<TForm1>& b) {
  b.Field("StatusBar1", &TForm1::StatusBar1);
  b.Field("MainMenu1", &TForm1::MainMenu1);
  b.Field("Exit1", &TForm1::Exit1);
  b.Field("About1", &TForm1::About1);
  b.Method("FormCreate", &TForm1::FormCreate);
  b.Method("Exit1Click", &TForm1::Exit1Click);
  b.Method("About1Click", &TForm1::About1Click);
}

void TForm1::FormCreate(rtl::TObject*) {}

void TForm1::Exit1Click(rtl::TObject*) { Close(); }

void TForm1::About1Click(rtl::TObject*) {}
