// Program entry: installs the Qt platform, creates the application and its main form, and runs the
// message loop until the main form closes.
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/Platform.h"
#include "platform/qt/QtPlatform.h"

using namespace tv;

namespace {

constexpr int kClientWidth = 741;
constexpr int kClientHeight = 419;
constexpr TColor kDarkGrey = 0x2B2B2B;

}  // namespace

int main(int argc, char** argv) {
  platform::SetPlatform(platform::CreateQtPlatform(argc, argv));
  {
    TApplication application;
    Application->Initialize();
    Application->SetTitle("Tovalin");
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Tovalin");
    form->SetColor(kDarkGrey);
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    form->SetPosition(poScreenCenter);
    // The window's title bar shows the caption; set it on the window itself as well, since the
    // form keeps its caption for painting.
    platform::GetPlatform().SetWindowTitle(form->Handle(), form->Caption());
    Application->Run();
  }
  platform::SetPlatform(nullptr);
  return 0;
}
