// The about box: the product's version texts and its cycling logo.
#pragma once

#include <string>

#include "platform/forms.h"

class TButton;
class TImage;
class TLabel;
class TTimer;

// One entry of the program's version table, or "" when it has none.
std::string VersionInfoValue(const std::string& Entry);
// Hands the version table to the writers of exported files (the EDI head's program version).
void InstallVersionValues();

class TAboutBox : public TForm {
  VM_CLASS(TAboutBox, TForm)
public:
  explicit TAboutBox(TComponent* AOwner);
  TImage* Image1 = nullptr;
  TLabel *ProductName, *Version, *VersionDate, *Copyright, *Company, *WebLabel, *EmailLabel1, *EmailLabel2;
  TButton* OKButton = nullptr;
  TTimer* Timer1 = nullptr;
  int LogoCounter = 0;
  int LogoCount = 0;
  void Timer1Timer(TObject* Sender);
  // The web label opens its address, the e-mail labels a new mail to theirs, through the desktop.
  void WebLabelClick(TObject* Sender);
  void EmailLabel1Click(TObject* Sender);
  // What a link label opens ("mailto:" and the address for the e-mail labels); "" for no text.
  std::string LinkOf(TLabel* Label) const;
  // The logo number Index drawn into the image.
  void ShowLogo(int Index);

private:
  void OpenLink(TLabel* Label);
};
