// Program entry: the Qt platform, the application titled "Tovalin", the main window, the overlay,
// then the message loop until the application ends.
#include "Unit1/Unit1.h"
#include "Unit2/Unit2.h"
#include "framework/Application.h"
#include "framework/dialogs/Dialogs.h"
#include "net/ServiceContract.h"
#include "platform/Platform.h"
#include "platform/qt/QtPlatform.h"

using namespace tv;

int main(int argc, char** argv) {
  ConfigureServiceBaseUrl(argc, argv);
  platform::SetPlatform(platform::CreateQtPlatform(argc, argv));
  {
    TApplication application;
    Application->Initialize();
    Application->SetTitle("Tovalin");
    InstallDialogs();
    Application->CreateForm<TForm1>(&Form1);
    Application->CreateForm<TForm2>(&Form2);
    Application->Run();
  }
  platform::SetPlatform(nullptr);
  return 0;
}
