// The wizard in real windows, on a virtual display: the real program started on a
// forged game folder, every step's window waited for by its caption, real mouse
// clicks and keys, a screenshot of every step checked against what the wizard model
// (run beside it with the same actions and seed) says the step draws, and the files
// of the build checked at the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "forge/forge.h"
#include "gui/events.h"
#include "platform/files.h"
#include "test_support.h"
#include "window/display_support.h"
#include "window/wizard_mirror.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t SEED = 4242;

bool IsBlack(uint32_t rgb) { return rgb == 0; }

// Counts the pixels of a rectangle (corners included) that are not black.
int DrawnPixels(const Image& img, int x1, int y1, int x2, int y2) {
  int n = 0;
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) n += IsBlack(img.At(x, y)) ? 0 : 1;
  }
  return n;
}

// What a screenshot of a form must show of its picture: every button of the canvas
// drawn inside its rectangle (a face fills at least half of it; a disabled button
// shows its frame and caption), and every text some pixels at its place. Returns what
// is missing, empty when all is there.
std::string MissingFromPicture(const Image& img, const Form& form) {
  if (!form.picCMD) return "";
  const int ox = form.pictureRect->x, oy = form.pictureRect->y;
  std::ostringstream missing;
  const std::vector<CanvasOp>& ops = form.picCMD->ops();
  // A button drawn again at its place (the race step's timer redraws Next) shows as
  // drawn last.
  auto drawnAgain = [&](size_t i) {
    for (size_t j = i + 1; j < ops.size(); ++j) {
      const bool button = ops[j].kind == CanvasOpKind::Button || ops[j].kind == CanvasOpKind::DisabledButton ||
                          ops[j].kind == CanvasOpKind::SmallButton;
      if (button && ops[j].x == ops[i].x && ops[j].y == ops[i].y) return true;
    }
    return false;
  };
  for (size_t i = 0; i < ops.size(); ++i) {
    const CanvasOp& op = ops[i];
    const int x = ox + op.x, y = oy + op.y;
    switch (op.kind) {
      case CanvasOpKind::Button:
      case CanvasOpKind::SmallButton:
      case CanvasOpKind::DisabledButton: {
        if (drawnAgain(i)) break;
        const int inside = DrawnPixels(img, x + 1, y + 1, x + BUTTON_WIDTH - 1, y + BUTTON_HEIGHT - 1);
        const int need = op.kind == CanvasOpKind::DisabledButton ? 20 : (BUTTON_WIDTH - 1) * (BUTTON_HEIGHT - 1) / 4;
        if (inside < need) {
          missing << "button \"" << op.text << "\" at (" << op.x << ", " << op.y << "): " << inside
                  << " drawn pixels; ";
        }
        break;
      }
      case CanvasOpKind::Text:
        if (op.text.find_first_not_of(' ') != std::string::npos && DrawnPixels(img, x, y, x + 40, y + 12) < 3) {
          missing << "text \"" << op.text << "\" at (" << op.x << ", " << op.y << "); ";
        }
        break;
      default:
        break;
    }
  }
  return missing.str();
}

// The planet points of the start-position preview: how many of them show on the
// screenshot (markers and the circle drawn later may cover a few).
std::pair<int, int> PointsShown(const Image& img, const Form& form) {
  int all = 0, shown = 0;
  for (const CanvasOp& op : form.picCMD->ops()) {
    if (op.kind != CanvasOpKind::Point) continue;
    ++all;
    shown += IsBlack(img.At(form.pictureRect->x + op.x, form.pictureRect->y + op.y)) ? 0 : 1;
  }
  return {shown, all};
}

class WizardWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.ok()) << "Xvfb did not start";
    forge::WriteSampleGame(real_.path());
    forge::WriteSampleGame(model_.path());
    shots_ = ScreenshotFolder();
  }

  // Starts the real program as a user would: tarvik, with the display named.
  void StartProgram() {
    program_ = std::make_unique<Process>(
        std::vector<std::string>{TARVIK_BINARY, "--game-dir", real_.path(), "--seed", std::to_string(SEED)},
        Environment(), "tarvik");
    mirror_ = std::make_unique<WizardMirror>(model_.path(), SEED);
  }

  // The real program's environment: the test's display, the clock at the mirror's moment.
  std::vector<std::string> Environment() const {
    std::vector<std::string> env = desktop_.env();
    env.push_back(std::string("TARVIK_FIXED_CLOCK=") + FIXED_MOMENT);
    return env;
  }

  // The window of a step, waited for by the caption the model gives the form.
  std::string Window(FormId id) {
    const std::string caption = mirror_->form(id).caption;
    std::optional<std::string> w = desktop_.WaitForWindow(caption);
    if (!w) {
      desktop_.Shot("root", shots_ + "/missing-window.png");  // what the screen showed instead
      const std::optional<int> ended = program_->running() ? std::nullopt : program_->Wait(0ms);
      ADD_FAILURE() << "the window \"" << caption << "\" did not appear; the program "
                    << (ended ? "ended with status " + std::to_string(*ended) : std::string("runs"))
                    << " and said: " << program_->Errors();
      return "";
    }
    return *w;
  }

  // One user action: `real` carries it out in the real window, `e` in the model. When
  // the step stays and the model says that what it shows has changed (its picture, a
  // control), the test waits until one of those places has changed on the screen too:
  // the real program has then taken the action, however loaded the machine is. An
  // action that shows nothing new is not waited for, nor one after which the step goes
  // (the next window is waited for by its caption).
  void Perform(const std::string& window, const WizardEvent& e, const std::function<void()>& real) {
    const Form& form = mirror_->form(e.form);
    const std::vector<CanvasOp> opsBefore = form.picCMD ? form.picCMD->ops() : std::vector<CanvasOp>{};
    const std::vector<Control> controlsBefore = form.controls;
    const Image before = desktop_.Shot(window);
    real();
    mirror_->Act(e);
    if (!form.shown) return;
    std::vector<Rect> changed;
    if (form.picCMD && form.picCMD->ops() != opsBefore) changed.push_back(*form.pictureRect);
    for (size_t i = 0; i < form.controls.size(); ++i) {
      if (!SameLook(form.controls[i], controlsBefore[i])) changed.push_back(form.controls[i].rect);
    }
    if (changed.empty()) return;
    EXPECT_TRUE(WaitFor([&] {
      const Image now = desktop_.Shot(window);
      return std::any_of(changed.begin(), changed.end(), [&](const Rect& r) { return Changed(before, now, r); });
    })) << form.name << ": the action did not show on the screen";
  }

  static bool SameLook(const Control& a, const Control& b) {
    return a.text == b.text && a.items == b.items && a.selected == b.selected && a.checked == b.checked &&
           a.enabled == b.enabled && a.shown == b.shown && a.color == b.color;
  }

  static bool Changed(const Image& a, const Image& b, const Rect& r) {
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        if (a.At(x, y) != b.At(x, y)) return true;
      }
    }
    return false;
  }

  // A click at picture coordinates of a step.
  void ClickPicture(const std::string& window, FormId id, int x, int y) {
    const Rect& p = *mirror_->form(id).pictureRect;
    Perform(window, ClickEvent(id, x, y), [&] { desktop_.Click(window, p.x + x, p.y + y); });
  }

  // A click on a check box or option button, left of its caption.
  void ClickCheck(const std::string& window, FormId id, const std::string& control) {
    const Rect& r = ControlRect(id, control);
    Perform(window, CheckEvent(id, control, 1), [&] { desktop_.Click(window, r.x + 8, r.y + r.h / 2); });
  }

  // The text of a text box or drop-down list replaced by typing: a click into the text
  // (left of a drop-down list's button), the old text selected with the keys and typed
  // over.
  void TypeText(const std::string& window, FormId id, const std::string& control, const std::string& text) {
    const Rect& r = ControlRect(id, control);
    Perform(window, TextEvent(id, control, text), [&] {
      desktop_.Click(window, r.x + std::min(20, r.w / 2), r.y + r.h / 2);
      desktop_.Keys({"End", "shift+Home", "Delete"});
      desktop_.Type(text);
    });
  }

  void ClickButton(const std::string& window, FormId id, int bx, int by) {
    ClickPicture(window, id, bx + BUTTON_WIDTH / 2, by + BUTTON_HEIGHT / 2);
  }

  // The user moves the window; the next step opens where it now is.
  void MoveWindow(const std::string& window, int x, int y) {
    RunCommand({"xdotool", "windowmove", window, std::to_string(x), std::to_string(y)}, desktop_.env());
    ASSERT_TRUE(WaitFor([&] { return desktop_.Origin(window) == std::pair{x, y}; })) << "the window did not move";
  }

  const Rect& ControlRect(FormId id, const std::string& control) { return mirror_->form(id).control(control).rect; }

  // Waits until the screenshot of the step shows its picture, saves it as `name`.
  Image CheckStep(const std::string& window, FormId id, const std::string& name) {
    // The real program's timer has ticked by the time the picture is right; so does
    // the model's.
    if (mirror_->form(id).timerMs > 0) mirror_->Act(gui::FormEvent(WizardEventKind::Tick, id));
    Image img;
    std::string missing;
    WaitFor(
        [&] {
          img = desktop_.Shot(window);
          missing = img.width > 0 ? MissingFromPicture(img, mirror_->form(id)) : "no screenshot";
          return missing.empty();
        });
    desktop_.Shot(window, shots_ + "/" + name);
    EXPECT_EQ(missing, "") << name << ": the screenshot lacks what the step draws";
    return img;
  }

  // The highlight bar of a list box's selected line on a screenshot: its first and last
  // row in the window, (-1, -1) for none. Looked for right of the items' texts, left of
  // the scroll bar.
  static std::pair<int, int> HighlightBar(const Image& img, const Rect& r) {
    const int x = r.x + r.w - 30;
    int first = -1, last = -1;
    for (int y = r.y; y < r.y + r.h; ++y) {
      const uint32_t c = img.At(x, y);
      const int red = static_cast<int>(c >> 16), green = static_cast<int>((c >> 8) & 0xFF), blue = static_cast<int>(c & 0xFF);
      const bool bar = blue > 90 && red < 90 && green < 90;
      if (bar && first < 0) first = y;
      if (bar) last = y;
      if (!bar && first >= 0) break;
    }
    return {first, last};
  }

  // Row geometry of the list boxes: the first line of lstRacePacks is selected at
  // start-up; its highlight bar, once the race step shows it, gives where line 0
  // starts and how high a line is.
  void MeasureListLines(const std::string& window) {
    const Rect& r = ControlRect(FormId::Race, "lstRacePacks");
    int first = -1, last = -1;
    WaitFor([&] {
      std::tie(first, last) = HighlightBar(desktop_.Shot(window), r);
      return first > 0;
    });
    ASSERT_GT(first, 0) << "no selected line in lstRacePacks";
    lineTop_ = first - r.y;
    lineHeight_ = last - first + 1;
    ASSERT_GE(lineHeight_, 8);
  }

  // The line of a list box that a screenshot shows selected, -1 for none.
  int SelectedLine(const Image& img, FormId id, const std::string& list) {
    const Rect& r = ControlRect(id, list);
    const int first = HighlightBar(img, r).first;
    return first < 0 ? -1 : (first - r.y - lineTop_ + lineHeight_ / 2) / lineHeight_;
  }

  // Where a line of a list box is clicked, in the window.
  std::pair<int, int> ListLinePoint(FormId id, const std::string& list, int line) {
    const Rect& r = ControlRect(id, list);
    return {r.x + r.w / 3, r.y + lineTop_ + line * lineHeight_ + lineHeight_ / 2};
  }

  void ClickListLine(const std::string& window, FormId id, const std::string& list, int line) {
    const auto [x, y] = ListLinePoint(id, list, line);
    Perform(window, SelectEvent(id, list, line), [&] { desktop_.Click(window, x, y); });
  }

  // The red of the race step's blinking warning on a screenshot (the reddest of its
  // pixels: 250 and 150 take turns with every tick of the step's timer), 0 while it is
  // hidden.
  int WarningRed(const Image& img) {
    const Rect& warn = ControlRect(FormId::Race, "lblWarn");
    int reddest = 0;
    for (int y = warn.y; y < warn.y + warn.h; ++y) {
      for (int x = warn.x; x < warn.x + warn.w; ++x) {
        const uint32_t c = img.At(x, y);
        const int red = static_cast<int>(c >> 16);
        if (red >= 120 && ((c >> 8) & 0xFF) < 60 && (c & 0xFF) < 60) reddest = std::max(reddest, red);
      }
    }
    return reddest;
  }

  // An entry picked from a drop-down list: its button opens the entries below the list;
  // their height comes from the open list's extent on the screen.
  void PickFromList(const std::string& window, FormId id, const std::string& list, int entry) {
    const Control& c = mirror_->form(id).control(list);
    Perform(window, SelectEvent(id, list, entry), [&] {
      desktop_.Click(window, c.rect.x + c.rect.w - 10, c.rect.y + c.rect.h / 2);
      const auto [ox, oy] = desktop_.Origin(window);
      const int x = ox + c.rect.x + c.rect.w - 10, top = oy + c.rect.y + c.rect.h;
      int height = 0;
      WaitFor([&] {
        const Image screen = desktop_.Shot("root");
        height = 0;
        while (!IsBlack(screen.At(x, top + 2 + height)) && height < 400) ++height;
        return height > 10 * static_cast<int>(c.items.size());
      });
      ASSERT_GT(height, 0) << list << ": its entries did not open";
      const int entryHeight = height / static_cast<int>(c.items.size());
      desktop_.Click(window, c.rect.x + c.rect.w - 10, c.rect.y + c.rect.h + 2 + entry * entryHeight + entryHeight / 2);
    });
  }

  // The number of players typed as a user does: the box's number typed over (the box
  // edits itself, the digit goes to the step's key handler), then Enter.
  void SetPlayerCount(const std::string& window, char digit) {
    TypeText(window, FormId::Race, "txtPlayers", std::string(1, digit));
    Perform(window, KeyEvent(FormId::Race, "txtPlayers", 13), [&] { desktop_.Keys({"Return"}); });
  }

  // The shortest way to the race step: slot 1, the echo map, the names as they come;
  // the list lines measured.
  std::string WalkToRaceStep() {
    std::string w = Window(FormId::UnivSlots);
    ClickButton(w, FormId::UnivSlots, 2, 7);
    ClickButton(w, FormId::UnivSlots, 335, 305);
    w = Window(FormId::Map);
    ClickCheck(w, FormId::Map, "optEcho");
    ClickButton(w, FormId::Map, 550, 305);
    w = Window(FormId::Name);
    ClickButton(w, FormId::Name, 550, 305);
    w = Window(FormId::Race);
    if (!w.empty()) MeasureListLines(w);
    return w;
  }

  // On to the planet step: two players of the first race, the layouts and levels as
  // they come.
  std::string WalkToPlanetStep() {
    std::string w = WalkToRaceStep();
    SetPlayerCount(w, '2');
    ClickListLine(w, FormId::Race, "lstAss", 0);
    ClickListLine(w, FormId::Race, "lstAss", 1);
    ClickButton(w, FormId::Race, 250, 3);
    w = Window(FormId::StartPos);
    ClickButton(w, FormId::StartPos, 550, 305);
    w = Window(FormId::Home);
    ClickButton(w, FormId::Home, 550, 305);
    return Window(FormId::Planet);
  }

  VirtualDisplay display_;
  Desktop desktop_{display_};
  TempDir real_, model_;
  std::string shots_;
  std::unique_ptr<Process> program_;
  std::unique_ptr<WizardMirror> mirror_;
  int lineTop_ = 0, lineHeight_ = 0;
};

TEST_F(WizardWindowsTest, ClickThroughEveryStepToAUniverse) {
  StartProgram();
  ASSERT_FALSE(mirror_->ended());

  // ---- Slot step: slot 1, Next.
  std::string w = Window(FormId::UnivSlots);
  ASSERT_FALSE(w.empty());
  CheckStep(w, FormId::UnivSlots, "1-slots.png");
  ClickButton(w, FormId::UnivSlots, 2, 7);
  CheckStep(w, FormId::UnivSlots, "1-slots-chosen.png");
  MoveWindow(w, 220, 130);
  ClickButton(w, FormId::UnivSlots, 335, 305);

  // ---- Map step: the echo map; Load Map picks a file, then one removed after the
  // listing (the step goes on without a custom map); Next.
  w = Window(FormId::Map);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(desktop_.Origin(w), (std::pair{220, 130})) << "the map step did not open where the slot step was";
  for (TempDir* dir : {&real_, &model_}) fs::copy_file(dir->path() + "data/nebula.map", dir->path() + "data/aaa.map");
  ClickCheck(w, FormId::Map, "optEcho");
  CheckStep(w, FormId::Map, "2-map.png");

  // Load Map opens the picker on the data folder; a click on its first file picks it.
  const Rect& files = mirror_->s().wizard.forms.Load(FormId::Load).control("file1").rect;
  auto loadMap = [&](const std::function<void(const std::string& picker)>& whileListed) {
    mirror_->PickNext("aaa.map");
    Perform(w, ClickEvent(FormId::Map, 380 + BUTTON_WIDTH / 2, 180 + BUTTON_HEIGHT / 2), [&] {
      desktop_.Click(w, 380 + BUTTON_WIDTH / 2, 180 + BUTTON_HEIGHT / 2);
      const std::string picker = Window(FormId::Load);
      ASSERT_FALSE(picker.empty());
      whileListed(picker);
      desktop_.Click(picker, files.x + files.w / 3, files.y + 9);
      ASSERT_TRUE(WaitFor([&] { return !desktop_.Shown("Load File"); })) << "the file picker stayed open";
    });
  };
  loadMap([&](const std::string& picker) { desktop_.Shot(picker, shots_ + "/2-load-file.png"); });
  ASSERT_FALSE(HasFatalFailure());
  CheckStep(w, FormId::Map, "2-map-custom.png");
  loadMap([&](const std::string&) {
    for (TempDir* dir : {&real_, &model_}) fs::remove(dir->path() + "data/aaa.map");
  });
  ASSERT_FALSE(HasFatalFailure());
  CheckStep(w, FormId::Map, "2-map-removed-file.png");
  EXPECT_TRUE(program_->running()) << program_->Errors();
  MoveWindow(w, 260, 170);
  ClickButton(w, FormId::Map, 550, 305);

  // ---- Name step: a game name typed.
  w = Window(FormId::Name);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(desktop_.Origin(w), (std::pair{260, 170})) << "the name step did not open where the map step was";
  TypeText(w, FormId::Name, "txtGameName", "Ring Wars");
  CheckStep(w, FormId::Name, "3-name.png");
  ClickButton(w, FormId::Name, 550, 305);

  // ---- Race step: four players, races assigned; the warning shows while two are
  // without a race.
  w = Window(FormId::Race);
  ASSERT_FALSE(w.empty());
  CheckStep(w, FormId::Race, "4-races.png");
  MeasureListLines(w);
  SetPlayerCount(w, '4');
  ClickListLine(w, FormId::Race, "lstRacePacks", 1);
  ClickListLine(w, FormId::Race, "lstAss", 0);
  ClickListLine(w, FormId::Race, "lstAss", 1);
  auto warningShown = [&] { return WarningRed(desktop_.Shot(w)) > 0; };
  EXPECT_TRUE(WaitFor(warningShown)) << "the warning did not show with players 3 and 4 without a race";
  desktop_.Shot(w, shots_ + "/4-races-warning.png");
  ClickListLine(w, FormId::Race, "lstRacePacks", 2);
  ClickListLine(w, FormId::Race, "lstAss", 2);
  ClickListLine(w, FormId::Race, "lstAss", 3);
  EXPECT_TRUE(WaitFor([&] { return !warningShown(); })) << "the warning stayed with every player assigned";
  CheckStep(w, FormId::Race, "4-races-assigned.png");
  ClickButton(w, FormId::Race, 250, 3);

  // ---- Start-position step: the map preview with its planets; every layout, then
  // picks for the four players.
  w = Window(FormId::StartPos);
  ASSERT_FALSE(w.empty());
  Image start = CheckStep(w, FormId::StartPos, "5-start.png");
  auto [shown, all] = PointsShown(start, mirror_->form(FormId::StartPos));
  EXPECT_GT(all, 0) << "the start-position step draws no map preview";
  EXPECT_GE(shown * 10, all * 9) << shown << " of " << all << " planet points show on the screenshot";
  for (int layoutY : {35, 60, 85, 10, 110}) ClickButton(w, FormId::StartPos, 350, layoutY);
  for (auto [x, y] : {std::pair{60, 60}, {250, 60}, {60, 250}, {250, 250}}) ClickPicture(w, FormId::StartPos, x, y);
  CheckStep(w, FormId::StartPos, "5-start-picked.png");
  ClickButton(w, FormId::StartPos, 550, 305);

  // ---- Home step: 10000 picked from the cash list, three extra freighters.
  w = Window(FormId::Home);
  ASSERT_FALSE(w.empty());
  PickFromList(w, FormId::Home, "cmbCash", 4);
  ClickCheck(w, FormId::Home, "chkExtra");
  CheckStep(w, FormId::Home, "6-home.png");
  MoveWindow(w, 280, 150);
  ClickButton(w, FormId::Home, 550, 305);

  // ---- Planet step: a level typed instead of chosen; Finish.
  w = Window(FormId::Planet);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(desktop_.Origin(w), (std::pair{280, 150})) << "the planet step did not open where the home step was";
  TypeText(w, FormId::Planet, "cmbContra", "Lots");
  CheckStep(w, FormId::Planet, "7-planets.png");
  MoveWindow(w, 240, 190);
  ClickButton(w, FormId::Planet, 550, 305);

  ASSERT_TRUE(mirror_->form(FormId::OutText).shown) << "Finish did not start the build in the model";
  // ---- The output window: the log, the time, the universe file; Done ends.
  w = Window(FormId::OutText);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(desktop_.Origin(w), (std::pair{240, 190})) << "the output window did not open where the planet step was";
  const std::string universe = real_.path() + "UNIV\\GAME1\\g1.yig";
  EXPECT_TRUE(WaitFor([&] { return FileLength(universe) > 0; })) << "no universe file " << universe;
  desktop_.Shot(w, shots_ + "/8-output.png");
  const Rect done = mirror_->form(FormId::OutText).decorations[0].rect;
  desktop_.Click(w, done.x + done.w / 2, done.y + done.h / 2);
  const std::optional<int> status = program_->Wait();
  ASSERT_TRUE(status.has_value()) << "Done did not end the program";
  EXPECT_EQ(*status, 0) << program_->Errors();
  EXPECT_TRUE(ReadWholeFile(universe) == ReadWholeFile(model_.path() + "UNIV\\GAME1\\g1.yig"))
      << "the windows built another universe than the model with the same choices at the same moment";
  // The slot records: in use, with the game's name as typed in the name step.
  for (auto [path, size, nameAt] : {std::tuple{"UNIV\\GAME1\\game.dat", 12536, 88},
                                    std::tuple{"WAR\\SLOT1\\slot.dat", 3222, 88}}) {
    const std::string file = real_.path() + path;
    ASSERT_EQ(FileLength(file), size) << path;
    const std::vector<uint8_t> bytes = ReadWholeFile(file);
    EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24, 1) << path << " is not in use";
    EXPECT_EQ(std::string(bytes.begin() + nameAt, bytes.begin() + nameAt + 9), "Ring Wars") << path;
  }
}

// A click on a list line whose button is held down while the race step's timer ticks
// (a slow click, or a quick one on a loaded machine) is a click on that line: the
// line stays selected across the tick and the release assigns the race to it.
TEST_F(WizardWindowsTest, ListLineHeldDownAcrossATimerTickIsTheLineClicked) {
  StartProgram();
  std::string w = WalkToRaceStep();
  ASSERT_FALSE(w.empty());
  SetPlayerCount(w, '2');
  ClickListLine(w, FormId::Race, "lstAss", 0);
  ASSERT_TRUE(WaitFor([&] { return WarningRed(desktop_.Shot(w)) > 0; }))
      << "the warning did not show with player 2 without a race";

  const auto [x, y] = ListLinePoint(FormId::Race, "lstAss", 1);
  desktop_.MouseDown(w, x, y);
  // The press shows line 1 selected; the warning then changes its red with the next
  // tick, whose sync of the controls runs while the button is still down.
  int red = 0;
  ASSERT_TRUE(WaitFor(
      [&] {
        const Image img = desktop_.Shot(w);
        red = WarningRed(img);
        return SelectedLine(img, FormId::Race, "lstAss") == 1 && red > 0;
      }))
      << "the press did not select line 1";
  const bool bright = red > 200;
  int shownLine = -1;
  ASSERT_TRUE(WaitFor(
      [&] {
        const Image img = desktop_.Shot(w);
        const int now = WarningRed(img);
        shownLine = SelectedLine(img, FormId::Race, "lstAss");
        return now > 0 && (now > 200) != bright;
      }))
      << "the timer did not tick while the button was down";
  EXPECT_EQ(shownLine, 1) << "the tick moved the selection away from the line held down";
  desktop_.MouseUp();
  mirror_->Act(SelectEvent(FormId::Race, "lstAss", 1));

  ASSERT_TRUE(WaitFor([&] { return WarningRed(desktop_.Shot(w)) == 0; }))
      << "the click on line 1 did not assign a race to player 2";
  ClickButton(w, FormId::Race, 250, 3);
  w = Window(FormId::StartPos);
  ASSERT_FALSE(w.empty());
  ClickButton(w, FormId::StartPos, 350, 305);  // Exit
  const std::optional<int> status = program_->Wait();
  ASSERT_TRUE(status.has_value()) << "Exit did not end the program";
  EXPECT_EQ(*status, 0) << program_->Errors();
}

// The game folder becomes read-only while the wizard runs; Finish then fails with the
// build's error box, and the slot holds neither a universe nor slot records. The
// program runs from its copy in the game folder (as a host installs it); as root, it
// runs as the unprivileged user, for whom the folder is read-only.
TEST_F(WizardWindowsTest, ReadOnlyGameFolderBeforeFinishEndsWithTheBuildError) {
  const bool root = ::geteuid() == 0;
  if (root && RunCommand({"setpriv", "--version"}).empty()) GTEST_SKIP() << "setpriv is needed to drop root";
  for (const char* program : {TARVIK_BINARY, TARVIK_WIZARD_BINARY}) {
    const std::string copy = real_.path() + fs::path(program).filename().string();
    fs::copy_file(program, copy);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  }
  std::vector<std::string> argv{real_.path() + "tarvik", "--seed", std::to_string(SEED)};
  if (root) {
    RunCommand({"chown", "-R", "65534:65534", real_.path()});
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  program_ = std::make_unique<Process>(argv, Environment(), "tarvik");
  mirror_ = std::make_unique<WizardMirror>(model_.path(), SEED);
  const std::string planet = WalkToPlanetStep();
  ASSERT_FALSE(planet.empty());
  mirror_->Act(ClickEvent(FormId::Planet, 590, 315));
  ASSERT_TRUE(mirror_->form(FormId::OutText).shown) << "Finish did not start the build in the model";
  RunCommand({"chmod", "-R", "a-w", real_.path()});
  desktop_.Click(planet, 590, 315);
  const std::optional<std::string> box = desktop_.WaitForWindow("ERROR!");
  ASSERT_TRUE(box) << "no error box; the program said: " << program_->Errors();
  desktop_.Shot(*box, shots_ + "/9-build-error.png");
  // Keys go to the window under the pointer: a click on the box's icon puts it there,
  // then Enter answers OK.
  desktop_.Click(*box, 20, 20);
  desktop_.Keys({"Return"});
  const std::optional<int> status = program_->Wait();
  RunCommand({"chmod", "-R", "u+w", real_.path()});
  ASSERT_TRUE(status) << "the program did not end after the error box";
  EXPECT_EQ(*status, 1);  // a crash would end with 128 and the signal's number
  EXPECT_FALSE(PathExists(real_.path() + "UNIV\\GAME1\\g1.yig"));
  for (const char* folder : {"UNIV\\GAME1\\", "WAR\\SLOT1\\"}) {
    const std::vector<std::string> left = ListFiles(real_.path() + folder, "*");
    EXPECT_TRUE(left.empty()) << folder << " holds " << left.front();
  }
}

}  // namespace
}  // namespace tarvik::test
