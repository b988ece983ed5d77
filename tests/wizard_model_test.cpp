// The wizard model without a game: the canvas and its hit test, the state dump and the
// picture writer, and the replay reader's checks.
#include <gtest/gtest.h>

#include <regex>

#include "json_lite.h"
#include "wizard/canvas.h"
#include "wizard/replay_reader.h"
#include "wizard/state_dump.h"

namespace tarvik {
namespace {

using test::Json;

TEST(WizardCanvas, ButtonsAreHitStrictlyInside) {
  // A button at (550, 305) spans to (630, 325); its border lines are not part of it.
  EXPECT_FALSE(PointInButton(550, 310, 550, 305));
  EXPECT_FALSE(PointInButton(630, 310, 550, 305));
  EXPECT_FALSE(PointInButton(560, 305, 550, 305));
  EXPECT_FALSE(PointInButton(560, 325, 550, 305));
  EXPECT_TRUE(PointInButton(551, 306, 550, 305));
  EXPECT_TRUE(PointInButton(629, 324, 550, 305));
}

TEST(WizardCanvas, ButtonsSetTheTextColourOfLaterTexts) {
  Canvas c(100, 50);
  c.DrawButton("A", 0, 0, true);
  c.DrawText("green", 1, 1);
  c.DrawButton("B", 0, 0, false);
  c.DrawText("black", 1, 1);
  c.DrawDisabledButton("C", 0, 0, false);
  c.DrawText("grey", 1, 1);
  ASSERT_EQ(c.ops().size(), 6u);
  EXPECT_EQ(c.ops()[1].color, colors::BRIGHT_GREEN);
  EXPECT_EQ(c.ops()[3].color, colors::BLACK);
  EXPECT_EQ(c.ops()[5].color, colors::DISABLED_CAPTION);
  c.SetTextColor(colors::WARNING_TEXT);
  c.Clear();  // clearing keeps the colour
  c.DrawText("warning", 1, 1);
  ASSERT_EQ(c.ops().size(), 1u);
  EXPECT_EQ(c.ops()[0].color, MakeRgb(255, 200, 200));
}

TEST(WizardCanvas, RepeatedDrawingStaysBoundedAndDistinctDrawingIsKept) {
  Canvas c(400, 30);
  c.DrawButton("Exit", 50, 3, false);
  for (int tick = 0; tick < 20000; ++tick) {  // a timer redrawing one button for hours
    c.DrawFilledBox(250, 3, 330, 23, colors::BLACK);
    c.DrawDisabledButton("Next", 250, 3, false);
  }
  EXPECT_LT(c.ops().size(), 5000u);
  // What is seen stays the same: Exit, then the last box and greyed Next.
  EXPECT_EQ(c.ops().front().text, "Exit");
  EXPECT_EQ(c.ops().back().kind, CanvasOpKind::DisabledButton);
  EXPECT_EQ(c.ops()[c.ops().size() - 2].kind, CanvasOpKind::FilledBox);

  Canvas map(300, 300);
  for (int i = 0; i < 12000; ++i) map.DrawPoint(i % 300, i / 300, colors::WHITE);
  ASSERT_EQ(map.ops().size(), 12000u);
  EXPECT_EQ(map.ops()[299].x, 299);
  EXPECT_EQ(map.ops()[300].y, 1);
}

TEST(WizardDump, JsonShowsFormsControlsCanvasAndMessages) {
  WizardForms forms;
  Form& race = forms.Load(FormId::Race);
  race.shown = true;
  forms.Load(FormId::UnivSlots).shown = true;
  forms.Load(FormId::Load);  // created but hidden
  Control& warn = race.control("lblWarn");
  warn.color = MakeRgb(250, 0, 0);
  race.control("lstAss").AddItem("Player  1 : x");
  race.control("lstAss").Select(0);
  Canvas& c = race.canvas();
  c.SetTextColor(colors::BRIGHT_GREEN);
  c.DrawText(std::string("a\x80 \r\"q\"\\  ") + '\0' + "hidden", 3, 4);
  c.SetTextColor(MakeRgb(1, 2, 3));
  c.DrawText("odd", 0, 0);
  c.DrawCircle(150, 150, 62.5f, colors::LIGHT_RED);
  c.DrawFilledBox(1, 2, 9, 13, colors::YELLOW);
  c.DrawLamp(47, 9, 0);

  const Json j = Json::Parse(DumpWizardJson(forms, {{"", "no title"}, {"Delete Universe", "Sure?"}}));
  EXPECT_EQ(j.keys, (std::vector<std::string>{"visible", "forms", "messages"}));
  ASSERT_EQ(j["visible"].size(), 2u);  // in the fixed order, not the order shown
  EXPECT_EQ(j["visible"][0].s, "frmUnivSlots");
  EXPECT_EQ(j["visible"][1].s, "frmRace");
  EXPECT_EQ(j["forms"].keys, (std::vector<std::string>{"frmUnivSlots", "frmRace", "frmLoad"}));
  EXPECT_FALSE(j["forms"]["frmLoad"]["shown"].b);
  EXPECT_EQ(j["forms"]["frmLoad"]["caption"].s, "Load File");

  const Json& controls = j["forms"]["frmRace"]["controls"];
  EXPECT_EQ(controls["lblWarn"]["color"].s, "#fa0000");
  EXPECT_FALSE(controls["lblWarn"]["shown"].b);
  EXPECT_FALSE(controls["lblWarn"].Has("enabled"));
  EXPECT_EQ(controls["lstAss"]["text"].s, "Player  1 : x");
  EXPECT_EQ(controls["lstAss"]["selected"].Int(), 0);
  EXPECT_EQ(controls["lstRacePacks"]["selected"].Int(), -1);
  EXPECT_TRUE(controls["cmdEnter"]["enabled"].b);
  EXPECT_FALSE(controls["txtPlayers"].Has("items"));
  EXPECT_EQ(j["forms"]["frmUnivSlots"]["controls"]["lblGame(12)"]["text"].s, "(Empty)");

  const Json& canvas = j["forms"]["frmRace"]["canvas"];
  ASSERT_EQ(canvas.size(), 5u);
  // cp1252 shown as UTF-8, ended at the zero byte, blanks and the carriage return kept.
  EXPECT_EQ(canvas[0]["text"].s, "a\u20ac \r\"q\"\\  ");
  EXPECT_EQ(canvas[0]["color"].Int(), 10);
  EXPECT_EQ(canvas[1]["color"].s, "#010203");
  EXPECT_EQ(canvas[2]["op"].s, "circle");
  EXPECT_EQ(canvas[2]["r"].n, 62.5);
  EXPECT_EQ(canvas[2]["color"].Int(), 12);
  EXPECT_EQ(canvas[3]["op"].s, "filledbox");
  EXPECT_EQ(canvas[3]["x2"].Int(), 9);
  EXPECT_EQ(canvas[3]["y2"].Int(), 13);
  EXPECT_EQ(canvas[4]["op"].s, "lamp");
  EXPECT_EQ(canvas[4]["state"].Int(), 0);

  ASSERT_EQ(j["messages"].size(), 2u);
  EXPECT_EQ(j["messages"][0]["title"].s, "");
  EXPECT_EQ(j["messages"][1]["text"].s, "Sure?");
}

TEST(WizardDump, SvgHasOneElementPerOperationAtTheDumpsCoordinates) {
  WizardForms forms;
  Form& f = forms.Load(FormId::Map);
  f.canvas().DrawButton("Next", 550, 305, true);
  f.canvas().DrawSmallButton(" 1", 2, 7, false);
  f.canvas().DrawDisabledButton("Back", 450, 305, false);
  f.canvas().SetTextColor(colors::BRIGHT_GREEN);
  f.canvas().DrawText("a<b & \"c\"", 30, 32);
  const std::string svg = CanvasSvg(f);
  EXPECT_NE(svg.find("width=\"680\" height=\"332\""), std::string::npos);
  const std::regex element("\n<(g|text|rect|circle)[ >]");
  EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), element), std::sregex_iterator()), 4);
  EXPECT_NE(svg.find("<text x=\"565\" y=\"309\""), std::string::npos);
  EXPECT_NE(svg.find("<text x=\"10\" y=\"11\""), std::string::npos);  // small: x + 8
  EXPECT_NE(svg.find("<text x=\"465\" y=\"309\" fill=\"#787878\""), std::string::npos);
  EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot;</text>"), std::string::npos);
  // A form never created draws an empty picture of its size.
  const std::string empty = CanvasSvg(forms[FormId::StartPos]);
  EXPECT_NE(empty.find("width=\"680\" height=\"332\""), std::string::npos);
  EXPECT_EQ(empty.find("<text"), std::string::npos);
}

TEST(ReplayReader, ReadsEveryEvent) {
  const std::string file =
      "# a comment\r\n"
      "\r\n"
      "click frmMap 551 306.5\r\n"
      "select frmRace.lstAss 29\n"
      "  check frmMap.optEcho 1\r"
      "text frmName.txtGameName  two words  \n"
      "text frmRace.txtPlayers\n"
      "key frmRace.txtPlayers 13\n"
      "press frmRace.cmdEnter\n"
      "tick frmOUTTEXT\n"
      "answer yes\n"
      "pick my map.map  \n"
      "pick\n"
      "done\n"
      "defer done\n"
      "dump out dir/state.json\n"
      "draw frmHome home.svg\n"
      "\t# indented comment\n";
  const std::vector<ReplayEvent> e = ParseReplay(file, "f.rpl");
  ASSERT_EQ(e.size(), 15u);
  EXPECT_EQ(e[0].line, 3);
  EXPECT_EQ(e[0].kind, ReplayEventKind::Click);
  EXPECT_EQ(e[0].form, FormId::Map);
  EXPECT_EQ(e[0].y, 306.5);
  EXPECT_EQ(e[1].control, "lstAss");
  EXPECT_EQ(e[1].value, 29);
  EXPECT_EQ(e[2].line, 5);
  EXPECT_EQ(e[3].line, 6);  // a lone carriage return ends a line too
  EXPECT_EQ(e[3].text, " two words  ");
  EXPECT_EQ(e[4].text, "");
  EXPECT_EQ(e[5].value, 13);
  EXPECT_EQ(e[7].form, FormId::OutText);
  EXPECT_EQ(e[8].value, 1);
  EXPECT_EQ(e[9].text, "my map.map");
  EXPECT_FALSE(e[9].noChoice);
  EXPECT_TRUE(e[10].noChoice);
  EXPECT_FALSE(e[11].deferred);
  EXPECT_TRUE(e[12].deferred);
  EXPECT_EQ(e[12].kind, ReplayEventKind::Done);
  EXPECT_EQ(e[13].text, "out dir/state.json");
  EXPECT_EQ(e[14].form, FormId::Home);
}

TEST(ReplayReader, FaultsAreUsageErrorsNamingTheLine) {
  const struct {
    const char* line;
    const char* says;
  } cases[] = {
      {"clik frmMap 1 1", "unknown event \"clik\""},
      {"click frmMaps 1 1", "unknown form \"frmMaps\""},
      {"click frmOUTTEXT 1 1", "frmOUTTEXT has no picCMD"},
      {"click frmMap 1", "missing Y"},
      {"click frmMap 1 2 3", "too many arguments"},
      {"click frmMap 1,5 2", "X must be a number"},
      {"click frmMap 1e3 2", "X must be a number"},
      {"click frmMap 5000000000 2", "X must be a number"},
      {"click frmMap 1 .", "Y must be a number"},
      {"select frmRace.lstAss 30", "from 0 to 29"},
      {"select frmHome.cmbCash 7", "from 0 to 6"},
      {"select frmRace.lstAss -1", "item index"},
      {"select frmRace.lstAss", "missing I"},
      {"select frmRace.txtPlayers 0", "is not a list"},
      {"select frmRace 0", "expected FORM.CONTROL"},
      {"select frmRace.lstFoo 0", "unknown control \"lstFoo\" of frmRace"},
      {"select frmHome.cmbContra 0", "unknown control \"cmbContra\" of frmHome"},
      {"check frmHome.chkShips 2", "expected 0 or 1"},
      {"check frmHome.cmbCash 1", "is not a check box"},
      {"text frmRace.lstAss x", "is not a text box"},
      {"key frmRace.txtPlayers 256", "from 0 to 255"},
      {"key frmRace.txtPlayers", "missing CODE"},
      {"press frmRace.lstAss", "is not a command button"},
      {"press frmUnivSlots.lblGame(3)", "is not a command button"},
      {"tick frmMap", "frmMap has no timer"},
      {"answer maybe", "expected yes or no"},
      {"done now", "too many arguments"},
      {"defer", "missing EVENT"},
      {"defer defer done", "other than defer"},
      {"defer bogus", "unknown event"},
      {"dump", "missing FILE"},
      {"dump    ", "missing FILE"},
      {"draw frmLoad x.svg", "frmLoad has no picCMD"},
      {"draw frmMap", "missing FILE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    try {
      ParseReplay(std::string("# first\n\ndone\n") + c.line + "\ndone\n", "r.rpl");
      ADD_FAILURE() << "accepted";
    } catch (const ReplayUsageError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.rfind("r.rpl, line 4: ", 0), 0u) << what;
      EXPECT_NE(what.find(c.says), std::string::npos) << what;
    }
  }
}

TEST(ReplayReader, LongAndBinaryLinesAreReadSafely) {
  const std::string big(1 << 20, 'x');
  EXPECT_EQ(ParseReplay("text frmName.txtGameName " + big + "\n", "r").at(0).text.size(), big.size());
  try {
    ParseReplay(std::string("\xff\x01\x00zz", 5) + big, "r");
    ADD_FAILURE() << "accepted";
  } catch (const ReplayUsageError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("line 1: unknown event \"??"), std::string::npos) << what;
    EXPECT_LT(what.size(), 120u);  // the word is quoted short and printable
  }
  EXPECT_THROW(ReadReplayFile("/nonexistent/replay.rpl"), ReplayUsageError);
  EXPECT_THROW(ReadReplayFile("/"), ReplayUsageError);
}

}  // namespace
}  // namespace tarvik
