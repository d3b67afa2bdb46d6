#include "ticker/frmTicker.h"

#include <string>

#include "options/frmOptions.h"
#include "ticker/HomeSite.h"

using namespace platform;

namespace {

const StdPicture kNormalPicture{":/images/normal.gif"};
const StdPicture kDownloadingPicture{":/images/downloading.gif"};

const Form::Definition kFrmTicker{
    .name = "frmTicker",
    .caption = "Form2",
    .borderStyle = BorderStyle::None,
    .showInTaskbar = false,
    .clientWidth = 9135,
    .clientHeight = 3090,
    .startUpPosition = StartUpPosition::WindowsDefault,
    .icons = {{":/images/icon32.png"}, {":/images/icon16.png"}},
    // The strip never takes the keyboard by itself; a person who clicks it may use keys there.
    .activateOnShow = false,
};

const PictureBox::Definition kPicTitle{
    .name = "picTitle",
    .left = 0,
    .top = 0,
    .width = 495,
    .height = 240,
    .backColor = kTitleBackColor,
    .foreColor = vbWindowText,
    .picture = kNormalPicture,
    .toolTipText = TitleToolTip(),
};

const PictureBox::Definition kPicTicker{
    .name = "picTicker",
    .left = 960,
    .top = 0,
    .width = 8175,
    .height = 375,
    .backColor = RGB(224, 224, 224),
    .foreColor = vbWindowText,
    .font = {.name = "MS Sans Serif", .size = 8.25f, .bold = false},
};

const LabelArray::Definition kLblItem{
    .name = "lblItem",
    .element0 =
        {
            .left = 300,
            .top = 60,
            .width = 555,
            .height = 225,
            .caption = "TWgjp",
            .mousePointer = vbDefault,
        },
    .font = {.name = "MS Sans Serif", .size = 8.25f, .bold = true},
    .mouseIcon = {":/images/hand.png"},
};

const Timer::Definition kTmrScroll{.name = "tmrScroll", .interval = 100, .enabled = false};
const Timer::Definition kTmrMouse{.name = "tmrMouse", .interval = 500, .enabled = false};

const Image::Definition kImgNormal{.name = "imgNormal",
                                   .left = 1320,
                                   .top = 2280,
                                   .width = 495,
                                   .height = 240,
                                   .picture = kNormalPicture};
const Image::Definition kImgDownloading{.name = "imgDownloading",
                                        .left = 1920,
                                        .top = 2280,
                                        .width = 495,
                                        .height = 240,
                                        .picture = kDownloadingPicture};

}  // namespace

frmTicker::frmTicker(frmOptions& options, const Services& services)
    : Form(services.engine, kFrmTicker),
      picTitle(*this, kPicTitle),
      picTicker(*this, kPicTicker),
      lblItem(picTicker, kLblItem),
      tmrScroll(*this, kTmrScroll),
      tmrMouse(*this, kTmrMouse),
      Inet1(services.download),
      imgNormal(*this, kImgNormal),
      imgDownloading(*this, kImgDownloading),
      frmOptions_(options),
      services_(services),
      arrItems(1) {
  Load = [this] { Form_Load(); };
  QueryUnload = [this](int& Cancel, int UnloadMode) {
    Form_QueryUnload(Cancel, UnloadMode);
    if (Cancel == 0) EndProgram();
  };
  MouseMove = [this](int b, int s, Twips x, Twips y) { Form_MouseMove(b, s, x, y); };
  MouseUp = [this](int b, int s, Twips x, Twips y) { Form_MouseUp(b, s, x, y); };
  picTicker.MouseMove = [this](int b, int s, Twips x, Twips y) { picTicker_MouseMove(b, s, x, y); };
  picTicker.MouseDown = [this](int b, int s, Twips x, Twips y) { picTicker_MouseDown(b, s, x, y); };
  lblItem.MouseMove = [this](int i, int b, int s, Twips x, Twips y) {
    lblItem_MouseMove(i, b, s, x, y);
  };
  lblItem.MouseDown = [this](int i, int b, int s, Twips x, Twips y) {
    lblItem_MouseDown(i, b, s, x, y);
  };
  picTitle.MouseDown = [this](int b, int s, Twips x, Twips y) { picTitle_MouseDown(b, s, x, y); };
  picTitle.MouseMove = [this](int b, int s, Twips x, Twips y) { picTitle_MouseMove(b, s, x, y); };
  picTitle.MouseUp = [this](int b, int s, Twips x, Twips y) { picTitle_MouseUp(b, s, x, y); };
  picTitle.DblClick = [this] { picTitle_DblClick(); };
  tmrScroll.Tick = [this] { tmrScroll_Timer(); };
  tmrMouse.Tick = [this] { tmrMouse_Timer(); };
}

frmTicker::~frmTicker() {
  tmrScroll.setEnabled(false);
  tmrMouse.setEnabled(false);
}

void frmTicker::SetTopmostWindow(WindowHandle hWnd, const bool& topmost) {
  if (hWnd == this->hWnd()) SetTopmost(topmost);
}

void frmTicker::Apply(const Settings& edited) { settingsInUse = edited; }

bool frmTicker::Resume(bool reload) {
  if (Closed()) return false;
  if (reload) LoadPage(platform::FetchOrigin::Person);
  RestartTicker();
  return true;
}

void frmTicker::Exit() {
  StopScroll();
  // Nothing is loaded any more; the close below saves what the dialog's URL box holds.
  strUrl.clear();
  Unload();
}

void frmTicker::EndProgram() {
  tmrScroll.setEnabled(false);
  tmrMouse.setEnabled(false);
  services_.session.EndProgram();
}
