// The built program under a real X server: start, play a chain, save the best score, quit.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <tuple>

#include "game/turn.h"
#include "model/rules.h"
#include "sound/sound.h"
#include "tests/e2e/board_reader.h"
#include "tests/e2e/xsession.h"
#include "tests/fakes/fake_platform.h"
#include "view/draw.h"

namespace pawnfall::e2e {
namespace {

const QStringList kWaves = wave_files();

void xdotool_click(XSession& x, QPoint at, int button) {
  x.run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
         QStringLiteral("click"), QString::number(button)});
}

int pieces(const 盤表<int>& board) {
  int n = 0;
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) n += board[c][r] != KARA;
  return n;
}

struct Capture {
  int from_col, from_row, to_col, to_row;
};

// The first pair of one kind in which one piece captures the other.
std::optional<Capture> find_capture(const 盤表<int>& board) {
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r)
      for (int c2 = 1; c2 <= 列数; ++c2)
        for (int r2 = 1; r2 <= 行数; ++r2)
          if (board[c][r] != KARA && 同種(board[c][r], board[c2][r2]) &&
              移動チェック(board, c, r, c2, r2, board[c][r]))
            return Capture{c, r, c2, r2};
  return std::nullopt;
}

// Where the window's image stands on the screen: its top-left corner and device pixels per
// pixel of the starting window.
struct Placement {
  QPoint origin;
  double scale = 1;
};

// Reads the board until it matches or the time runs out; answers the last board read.
std::optional<盤表<int>> read_until(XSession& x, const BoardReader& reader, Placement at,
                                    const 盤表<int>& expected, int timeout_ms) {
  std::optional<盤表<int>> board;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeout_ms) {
    // A save that fails tells the player once, in a box that waits for an answer.
    x.answer_box(QStringLiteral("^Pawnfall$"));
    board = reader.read(x.screenshot(), at.origin, at.scale);
    if (board && *board == expected) break;
    QThread::msleep(200);
  }
  return board;
}

// Where the client area starts, once the board has been painted.
std::optional<QPoint> wait_for_board(XSession& x, const BoardReader& reader) {
  for (int i = 0; i < 50; ++i) {
    if (auto origin = reader.find_client_origin(x.screenshot())) return origin;
    QThread::msleep(100);
  }
  return std::nullopt;
}

void escape_ends_with_status_zero(GameProcess& game) {
  game.key(QStringLiteral("Escape"));
  const auto status = game.wait_for_exit(5000);
  ASSERT_TRUE(status.has_value()) << "Escape did not end the program";
  EXPECT_EQ(*status, 0);
}

TEST(RealWindow, OpensWithItsCaptionAndMenuBarAndEscapeEndsItWithStatusZero) {
  XSession x;
  ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window()) << "no window captioned 'Pawnfall for Windows'";
  BoardReader reader;
  const auto origin = wait_for_board(x, reader);
  ASSERT_TRUE(origin) << "the board is not on the screen";
  EXPECT_GT(origin->y(), 10) << "no menu bar above the client area";
  escape_ends_with_status_zero(game);
}

// The window's client area on the screen, and its frame: the client area grown by the frame's
// extents that the window manager announces.
struct OnScreen {
  QRect client, frame;
};
std::optional<OnScreen> on_screen(XSession& x, const QString& window) {
  const auto info = x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
  const auto extents = x.run(QStringLiteral("xprop"),
                             {QStringLiteral("-id"), window, QStringLiteral("_NET_FRAME_EXTENTS")});
  if (!info || !extents || !extents->contains('=')) return std::nullopt;
  auto field = [&](const char* name) {
    for (const QString& line : info->split('\n'))
      if (line.trimmed().startsWith(QLatin1String(name)))
        return line.section(':', 1).trimmed().toInt();
    return -1;
  };
  const QRect client(field("Absolute upper-left X:"), field("Absolute upper-left Y:"),
                     field("Width:"), field("Height:"));
  // left, right, top, bottom
  const QStringList sizes = extents->section('=', 1).split(',');
  if (client.top() < 0 || sizes.size() != 4) return std::nullopt;
  const QMargins frame(sizes[0].trimmed().toInt(), sizes[2].trimmed().toInt(),
                       sizes[1].trimmed().toInt(), sizes[3].trimmed().toInt());
  return OnScreen{client, client.marginsAdded(frame)};
}

TEST(RealWindow, UnderAWindowManagerTheTitleBarLandsOnTheScreen) {
  XSession x(/*window_manager=*/true);
  ASSERT_TRUE(x.ok());
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window());
  std::optional<OnScreen> at;
  for (int i = 0; i < 30 && !(at && at->frame.top() == 0); ++i, QThread::msleep(100))
    at = on_screen(x, *x.visible_window(QStringLiteral("^Pawnfall for Windows$")));
  ASSERT_TRUE(at) << "no frame extents from the window manager";
  EXPECT_EQ(at->frame.top(), 0) << "the frame's top edge is not at the top of the screen";
  escape_ends_with_status_zero(game);
}

// Finds the board (where the window's image stands, unless given), plays the first capture it
// offers and commits it with the right button, then checks the screen against the game's own
// procedures run on the same presses. Answers the score the chain brought, or 0 after a failed
// check.
double play_a_chain(XSession& x, std::optional<Placement> placement = std::nullopt) {
  BoardReader reader;
  if (!placement) {
    if (const auto origin = wait_for_board(x, reader)) placement = Placement{*origin};
  }
  EXPECT_TRUE(placement) << "the board is not on the screen";
  if (!placement) return 0;
  const QPoint origin = placement->origin;
  const double scale = placement->scale;
  const auto before = reader.read(x.screenshot(), origin, scale);
  EXPECT_TRUE(before) << "a square matched no picture";
  if (!before) return 0;
  const auto capture = find_capture(*before);
  EXPECT_TRUE(capture) << "the first board offers no capture";
  if (!capture) return 0;

  test::FakePlatform fake;
  Sound model_sound{fake};
  Game model{fake, model_sound};
  model.盤面 = *before;
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r <= 行数; ++r) model.桝色[c][r] = 桝の色(c, r);
  const struct {
    int col, row, button;
  } presses[] = {{capture->from_col, capture->from_row, 1},
                 {capture->to_col, capture->to_row, 1},
                 {capture->to_col, capture->to_row, 3}};
  for (const auto& p : presses) {
    const QPoint screen = BoardReader::square_centre(origin, p.col, p.row, scale);
    const QPoint client = screen - origin;
    マウス押下(model, p.button == 3 ? 右ボタン : 左ボタン, pixels_to_twips(client.x(), scale),
               pixels_to_twips(client.y(), scale));
    xdotool_click(x, screen, p.button);
  }
  EXPECT_EQ(model.選択状態, 選択状態型::なし);
  EXPECT_GT(model.スコア, 0);

  const auto after = read_until(x, reader, *placement, model.盤面, 15000);
  EXPECT_TRUE(after) << "a square matched no picture after the commit";
  if (!after || *after != model.盤面) {
    ADD_FAILURE() << "the board on the screen differs from the rules' prediction";
    return 0;
  }
  // Checks that do not lean on the game's own code: the chain's two pieces are gone and
  // nothing hangs over a hole.
  EXPECT_EQ(pieces(*after), pieces(*before) - 2);
  for (int c = 1; c <= 列数; ++c)
    for (int r = 1; r < 行数; ++r)
      EXPECT_FALSE((*after)[c][r] != KARA && (*after)[c][r + 1] == KARA) << c << "," << r;
  return model.スコア;
}

// The window's size on the screen, frame left out.
std::optional<QSize> window_size(XSession& x, const QString& window) {
  const auto geometry = x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                          QStringLiteral("--shell"), window});
  if (!geometry) return std::nullopt;
  QSize size;
  for (const QString& line : geometry->split('\n')) {
    if (line.startsWith(QStringLiteral("WIDTH="))) size.setWidth(line.section('=', 1).toInt());
    if (line.startsWith(QStringLiteral("HEIGHT="))) size.setHeight(line.section('=', 1).toInt());
  }
  return size.isValid() ? std::optional(size) : std::nullopt;
}

// The default background tile, a plain green, which goes on around the image, and the board's
// own green, of the outlines between its squares.
constexpr QRgb kTile = 0x009D00, kBoardGreen = 0x008000;

// Where the enlarged or shrunk image stands on a screenshot: across the client area's middle
// row the board is what differs from the tiles around it, 681 of the starting window's pixels
// wide (20 squares and the last one's overlap), and the image's top is found from the outline
// above board row 1, which the scale places.
std::optional<Placement> find_scaled_image(const QImage& shot, QRect client, int least_width) {
  const int middle = client.center().y(), client_top = client.top();
  int left = client.left(), right = client.right();
  while (left < right && (shot.pixel(left, middle) & 0xFFFFFF) == kTile) ++left;
  while (right > left && (shot.pixel(right, middle) & 0xFFFFFF) == kTile) --right;
  constexpr int kBoardWidth = 681;
  if ((right - left + 1) * 窓幅画素 < least_width * kBoardWidth) return std::nullopt;
  // A scale in 34ths.
  const double scale = std::round((right - left + 1) * 34.0 / kBoardWidth) / 34;
  const int origin = left - twips_to_pixels(盤X(1), scale);
  const int column = origin + twips_to_pixels(盤X(1.5), scale);
  for (int y = client_top; y < shot.height(); ++y)
    if ((shot.pixel(column, y) & 0xFFFFFF) == kBoardGreen)
      return Placement{QPoint(origin, y - twips_to_pixels(盤Y(1), scale)), scale};
  return std::nullopt;
}

QString settings_text(const GameProcess& game) {
  QFile ini(QDir(game.folder()).filePath(QStringLiteral("Pawnfall.ini")));
  if (!ini.open(QIODevice::ReadOnly)) return {};
  return QStringDecoder("Shift_JIS")(ini.readAll());
}

TEST(RealWindow, AChainPlayedWithTheMouseFallsAsTheRulesSayAndSavesTheBestScore) {
  XSession x;
  ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window());
  const double score = play_a_chain(x);
  ASSERT_GT(score, 0);
  EXPECT_TRUE(settings_text(game).contains(QStringLiteral("過去最高スコア=%1\r\n").arg(score)))
      << settings_text(game).toStdString();
  escape_ends_with_status_zero(game);
  QStringList expected = kWaves;
  expected << QStringLiteral("Pawnfall.ini");
  expected.sort();
  QStringList files = game.files();
  files.sort();
  EXPECT_EQ(files, expected) << "the game wrote a file other than its settings";
}

// A player on a 4K screen without desktop scaling maximises the window from its title bar: it
// fills the screen, the image grows with it, drawn for the size, and a chain played there falls
// as the rules say.
TEST(RealWindow, MaximisedOnA4KScreenTheImageFillsItAndAChainFallsAsTheRulesSay) {
  XSession x(/*window_manager=*/true, QSize(3840, 2160));
  ASSERT_TRUE(x.ok());
  GameProcess game(x);
  ASSERT_TRUE(game.wait_for_window());
  BoardReader reader;
  const auto start = wait_for_board(x, reader);
  ASSERT_TRUE(start) << "the board is not on the screen at the starting size";
  const QString window = *x.visible_window(QStringLiteral("^Pawnfall for Windows$"));
  EXPECT_EQ(window_size(x, window), QSize(窓幅画素, 窓高画素));
  // A double click on the title bar, above the client area's top-left corner.
  x.run(
      QStringLiteral("xdotool"),
      {QStringLiteral("mousemove"), QString::number(start->x() + 300),
       QString::number(start->y() - 30), QStringLiteral("click"), QStringLiteral("--repeat"),
       QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
  std::optional<QSize> size;
  for (int i = 0; i < 50 && !(size && size->width() == 3840); ++i, QThread::msleep(100))
    size = window_size(x, window);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width(), 3840);
  EXPECT_GT(size->height(), 2160 - 60) << "the window does not fill the screen";

  std::optional<Placement> placement;
  QImage shot;
  for (int i = 0; i < 50 && !(placement && placement->scale > 3); ++i, QThread::msleep(100))
    placement =
        find_scaled_image(shot = x.screenshot(), QRect(0, start->y(), 3840, 2160), 窓幅画素);
  ASSERT_TRUE(placement) << "no enlarged image on the screen";
  // Centred across the screen, and reaching down to its bottom edge but for what the scale's
  // steps of a 34th leave over (shared above and below).
  const int width = qRound(窓幅画素 * placement->scale);
  EXPECT_NEAR(placement->origin.x(), 3840 - (placement->origin.x() + width), 1);
  // As tall as whole steps allow: what is left above and below it, from the menu bar (where the
  // tiles begin) to the screen's bottom, is less than one step more would take (595 / 34).
  const int column = placement->origin.x() + width / 2;
  int client_top = 0;
  while (client_top < shot.height() && (shot.pixel(column, client_top) & 0xFFFFFF) != kTile)
    ++client_top;
  EXPECT_LT(2 * (placement->origin.y() - client_top), 20)
      << "the image does not fill the screen's height";
  EXPECT_GT(play_a_chain(x, placement), 0);
  escape_ends_with_status_zero(game);
}

// A common laptop: 1366 × 768 at a desktop scale of 125 %, where the starting size and its title
// bar do not fit. The window opens smaller, its whole frame on the screen, and presses on the
// smaller picture land on the squares they are on.
TEST(RealWindow, OnALaptopScreenAt125PercentTheWholeFrameFitsAndPressesLandOnTheirSquares) {
  XSession x(/*window_manager=*/true, QSize(1366, 768));
  ASSERT_TRUE(x.ok());
  GameOptions options;
  options.environment << QStringLiteral("QT_SCALE_FACTOR=1.25");
  GameProcess game(x, options);
  ASSERT_TRUE(game.wait_for_window());
  const QString window = *x.visible_window(QStringLiteral("^Pawnfall for Windows$"));
  const QRect screen(0, 0, 1366, 768);
  std::optional<OnScreen> at;
  for (int i = 0; i < 50 && !(at && screen.contains(at->frame)); ++i, QThread::msleep(100))
    at = on_screen(x, window);
  ASSERT_TRUE(at && screen.contains(at->frame)) << "the frame is off the screen";
  std::optional<Placement> placement;
  for (int i = 0; i < 50 && !placement; ++i, QThread::msleep(100))
    placement = find_scaled_image(x.screenshot(), at->client, 窓幅画素 * 5 / 8);
  ASSERT_TRUE(placement) << "no picture in the client area";
  EXPECT_LT(placement->scale, 1.25) << "drawn at the starting size, which does not fit";
  EXPECT_GT(play_a_chain(x, placement), 0);
  escape_ends_with_status_zero(game);
}

// Bad surroundings: the game starts, plays and ends every time, with the warnings it owes.
struct Surroundings {
  const char* name;
  GameOptions options;
  int warnings;
  std::function<void(const GameProcess&)> afterwards = [](const GameProcess&) {};
};

void write_file(const QString& path, const QByteArray& bytes) {
  QFile::remove(path);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray garbage(qsizetype size, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void replace_waves(const QString& folder, const std::function<QByteArray(int)>& content) {
  int i = 0;
  for (const QString& wave : kWaves) write_file(QDir(folder).filePath(wave), content(i++));
}

GameOptions read_only_folder() {
  GameOptions o;
  o.read_only_folder = true;
  return o;
}

GameOptions without_audio_device() {
  GameOptions o;
  o.silent_audio_driver = false;
  return o;
}

GameOptions prepared_by(std::function<void(const QString&)> prepare) {
  GameOptions o;
  o.prepare = std::move(prepare);
  return o;
}

GameOptions wrapped_in(std::initializer_list<const char*> command) {
  GameOptions o;
  for (const char* word : command) o.wrapper << QString::fromUtf8(word);
  return o;
}

TEST(BadSurroundings, TheGameStartsPlaysAndEndsWhateverItsFolderHolds) {
  const Surroundings cases[] = {
      // The default file cannot be made: the player is told once.
      {"an unwritable folder", read_only_folder(), 1,
       [](const GameProcess& g) {
         EXPECT_EQ(g.files().size(), kWaves.size()) << g.files().join(' ').toStdString();
       }},
      {"a settings file that is a folder",
       prepared_by([](const QString& f) { QDir(f).mkdir(QStringLiteral("Pawnfall.ini")); }), 0,
       [](const GameProcess& g) {
         EXPECT_TRUE(QFileInfo(QDir(g.folder()).filePath(QStringLiteral("Pawnfall.ini"))).isDir());
       }},
      {"ten megabytes of garbage as settings", prepared_by([](const QString& f) {
         write_file(QDir(f).filePath(QStringLiteral("Pawnfall.ini")), garbage(10 * 1024 * 1024, 1));
       }),
       0,
       [](const GameProcess& g) {
         EXPECT_TRUE(settings_text(g).startsWith(QStringLiteral("背景画=")))
             << "the new best score was not saved over the garbage";
       }},
      {"garbage wave files", prepared_by([](const QString& f) {
         replace_waves(f, [](int i) { return garbage(4000 + 1000 * i, 2 + i); });
       }),
       5},
      {"empty wave files",
       prepared_by([](const QString& f) { replace_waves(f, [](int) { return QByteArray(); }); }),
       5},
      {"no audio device", without_audio_device(), 1},
      // Loading a pipe would block for ever: it counts as no library at all.
      {"a pipe in place of the sound library",
       wrapped_in(
           {"sh", "-c",
            "mkdir bin && cp \"$0\" bin/ && mkfifo bin/libPawnfall.so && exec bin/pawnfall"}),
       1},
      // No byte may be written: the default file fails with the one warning, and so does the
      // save of the chain's best score, silently.
      {"a file-size limit of nothing", wrapped_in({"sh", "-c", "ulimit -f 0 && exec \"$0\""}), 1,
       [](const GameProcess& g) {
         EXPECT_FALSE(g.files().contains(QStringLiteral("Pawnfall.ini")));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XSession x;
    ASSERT_TRUE(x.ok());
    GameProcess game(x, c.options);
    ASSERT_TRUE(game.started());
    EXPECT_EQ(game.dismiss_start_up_warnings(), c.warnings);
    EXPECT_GT(play_a_chain(x), 0);
    escape_ends_with_status_zero(game);
    c.afterwards(game);
  }
}

// The sanitizer's shadow memory would count as the game's.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsTheGames = false;
#else
constexpr bool kMemoryIsTheGames = true;
#endif

// The peak resident memory of a running process in MB, from the kernel's own count.
double peak_megabytes(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
  return -1;
}

// Whatever stands at the settings file's name, start-up neither blocks nor reads without end,
// and leaves it as it was. One test each, so that one the machine cannot make shows as skipped.
struct BadSurrounding {
  const char* name;
  std::function<bool(const QString& path)> make;
};
const BadSurrounding kBadSurroundings[] = {
    {"Pipe", [](const QString& p) { return mkfifo(QFile::encodeName(p), 0600) == 0; }},
    {"LinkToDevZero", [](const QString& p) { return QFile::link("/dev/zero", p); }},
    {"LinkToADeviceOfTheTestsOwn",
     [](const QString& p) {
       const QString node = p + QStringLiteral(".node");
       return mknod(QFile::encodeName(node), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
              QFile::link(node, p);
     }},
    {"SparseFileOf400MB",
     [](const QString& p) {
       QFile f(p);
       return f.open(QIODevice::WriteOnly) && f.resize(qint64{400} << 20);
     }},
};

void PrintTo(const BadSurrounding& s, std::ostream* out) { *out << s.name; }

class SettingsNameTaken : public ::testing::TestWithParam<BadSurrounding> {};

TEST_P(SettingsNameTaken, TheWindowComesAndWhatStandsThereStaysAsItWas) {
  const QString ini = QStringLiteral("Pawnfall.ini");
  XSession x;
  ASSERT_TRUE(x.ok());
  bool made = false;
  GameProcess game(
      x, prepared_by([&](const QString& f) { made = GetParam().make(QDir(f).filePath(ini)); }));
  if (!made) GTEST_SKIP() << "cannot make this here";
  const QFileInfo before(QDir(game.folder()).filePath(ini));
  const auto type_of = [](const QFileInfo& i) {
    return std::tuple(i.isSymLink(), i.symLinkTarget(), i.isFile(), i.size(), i.lastModified());
  };
  const auto was = type_of(before);
  ASSERT_TRUE(game.wait_for_window()) << "no window";
  if (kMemoryIsTheGames) {
    EXPECT_LT(peak_megabytes(game.pid()), 100);
  }
  escape_ends_with_status_zero(game);
  EXPECT_EQ(type_of(QFileInfo(QDir(game.folder()).filePath(ini))), was);
}
INSTANTIATE_TEST_SUITE_P(By, SettingsNameTaken, ::testing::ValuesIn(kBadSurroundings));

// The player's settings file as the game writes it: 竹, guidance on, music off and a best score.
QByteArray players_file(int best) {
  return "\x94\x77\x8C\x69\x89\xE6=\x92\x7C\r\n\x88\xDA\x93\xAE\x8E\x77\x93\xB1=ON\r\nBGM=OFF\r\n"
         "\x89\xDF\x8B\x8E\x8D\xC5\x8D\x82\x83\x58\x83\x52\x83\x41=" +
         QByteArray::number(best) + "\r\n";
}

// One of the game windows that share a folder in a fault case: its faults, how long after the
// others it saves, and how long it leaves a warning box of the settings file open.
struct SavingWindow {
  QStringList faults;
  int delay_ms = 0, box_ms = 0;
};

// What the windows told: falls of the stored best score they saw, warning boxes of the settings
// file and of the sound; nullopt when one did not end normally.
struct Told {
  int falls = 0, warnings = 0, sound_warnings = 0;
};
std::optional<Told> run_saving_windows(const QString& folder, const QString& program,
                                       const std::vector<SavingWindow>& windows, int rounds,
                                       int first_score) {
  std::vector<std::unique_ptr<QProcess>> processes;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    auto env = QProcessEnvironment::systemEnvironment();
    for (const QString& setting :
         QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                     QStringLiteral("DBUS_SESSION_BUS_ADDRESS=disabled:"),
                     QStringLiteral("LD_PRELOAD=" PAWNFALL_FILE_FAULTS),
                     // The shim comes before the sanitizer's runtime, when there is one.
                     QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0:") +
                         qEnvironmentVariable("ASAN_OPTIONS")} +
             windows[i].faults)
      env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    auto& p = *processes.emplace_back(std::make_unique<QProcess>());
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    end_with_the_test(p);
    p.start(program, {QString::number(i), QString::number(rounds), QString::number(first_score),
                      QString::number(windows[i].delay_ms), QString::number(windows[i].box_ms)});
  }
  // All start together once each is up.
  std::vector<QByteArray> out(processes.size());
  for (std::size_t i = 0; i < processes.size(); ++i)
    while (!out[i].contains("ready\n") && processes[i]->waitForReadyRead(60000))
      out[i] += processes[i]->readAllStandardOutput();
  const QByteArray start = QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 300) + '\n';
  for (auto& p : processes) {
    p->write(start);
    p->waitForBytesWritten(10000);
  }
  Told told;
  for (std::size_t i = 0; i < processes.size(); ++i) {
    auto& p = *processes[i];
    if (!p.waitForFinished(rounds * 400 + 60000) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
      return std::nullopt;
    const QStringList n = QString::fromUtf8(out[i] + p.readAllStandardOutput())
                              .section(QStringLiteral("told "), 1)
                              .split(QRegularExpression(QStringLiteral("\\s+")));
    if (n.size() < 3) return std::nullopt;
    told = {told.falls + n[0].toInt(), told.warnings + n[1].toInt(),
            told.sound_warnings + n[2].toInt()};
  }
  return told;
}

// Game windows start on a settings file and raise their best score, on a disk or file that
// fails them in a way a player's can. Afterwards the file holds the player's options and the
// highest best, or, where saving could not work, is the old file byte for byte and was told once.
TEST(SettingsFaults, EachLeavesThePlayersSettingsOrTheOldFileToldOnce) {
  const auto one = [](QStringList faults = {}) { return std::vector{SavingWindow{faults}}; };
  // The lowest score saves last: without a lock it would land last and lower the stored best.
  const auto three = [](QStringList faults) {
    return std::vector{SavingWindow{faults, 20}, SavingWindow{faults, 10}, SavingWindow{faults}};
  };
  const std::vector box_and_save{SavingWindow{{"PAWNFALL_FAIL_SYNC=EIO"}, 0, 3000},
                                 SavingWindow{{}, 300}};
  QString utf16 = QStringLiteral("\uFEFF背景画=竹\r\n") + QChar(0xD800) +
                  QStringLiteral("\r\n移動指導=ON\r\nBGM=OFF\r\n過去最高スコア=500\r\n");
  const QByteArray utf16_file(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
  const QString ini = QStringLiteral("Pawnfall.ini");
  const struct {
    const char* name;
    std::vector<SavingWindow> windows;
    int rounds, first_score;
    QByteArray before;
    std::optional<int> best;  // the player's file with this best afterwards; or the old file
    int warnings;             // of the settings file, all windows together
    std::function<void(const QString& folder)> prepare = nullptr;
    bool cut_library = false;
  } cases[] = {
      // A read that fails at start and works by the first save.
      {"EIO at the first open", one({"PAWNFALL_FAIL_FIRST_OPEN=EIO"}), 1, 1, players_file(500), 500,
       1},
      {"ESTALE at the first open", one({"PAWNFALL_FAIL_FIRST_OPEN=ESTALE"}), 1, 1,
       players_file(500), 500, 1},
      {"EMFILE at the first open", one({"PAWNFALL_FAIL_FIRST_OPEN=EMFILE"}), 1, 1,
       players_file(500), 500, 1},
      {"EIO at the first read", one({"PAWNFALL_FAIL_FIRST_READ=EIO"}), 1, 1, players_file(500), 500,
       1},
      {"a file no read works on", one({"PAWNFALL_FAIL_OPEN=EACCES"}), 1, 900, players_file(500),
       std::nullopt, 1},
      {"UTF-16 with a lone surrogate", one(), 1, 900, utf16_file, 900, 0},
      {"three windows on a slow disk", three({"PAWNFALL_SLOW_FSYNC_MS=30"}), 20, 1, players_file(0),
       60, 0},
      {"three windows on a slow disk that refuses flock",
       three({"PAWNFALL_SLOW_FSYNC_MS=30", "PAWNFALL_FAIL_FLOCK=ENOLCK"}), 20, 1, players_file(0),
       60, 0},
      {"a failed save's box open while another window saves", box_and_save, 1, 1, players_file(0),
       2, 1},
      {"every sync failing", one({"PAWNFALL_FAIL_SYNC=EIO"}), 1, 900, players_file(500),
       std::nullopt, 1},
      {"a replacement left by a killed save", one(), 1, 1, players_file(500), std::nullopt, 0,
       [&](const QString& f) {
         write_file(f + QStringLiteral("/.Pawnfall.ini.saving-k1LLed"), "x");
       }},
      {"a sound library cut short", one(), 1, 1, players_file(500), std::nullopt, 0, nullptr, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir folder, program_folder;
    write_file(folder.filePath(ini), c.before);
    if (c.prepare) c.prepare(folder.path());
    QString program = QStringLiteral(PAWNFALL_SAVING_WINDOW);
    if (c.cut_library) {
      QFile library(QStringLiteral(PAWNFALL_RUN_DIR "/libPawnfall.so"));
      ASSERT_TRUE(library.open(QIODevice::ReadOnly));
      write_file(program_folder.filePath(QStringLiteral("libPawnfall.so")), library.read(12000));
      const QString copy = program_folder.filePath(QStringLiteral("w"));
      ASSERT_TRUE(QFile::copy(program, copy));
      program = copy;
    }
    const auto told =
        run_saving_windows(folder.path(), program, c.windows, c.rounds, c.first_score);
    ASSERT_TRUE(told) << "a window did not end normally";
    EXPECT_EQ(told->falls, 0);
    EXPECT_EQ(told->warnings, c.warnings);
    EXPECT_EQ(told->sound_warnings, c.windows.size()) << "the sound library's one warning";
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{ini});
    QFile file(folder.filePath(ini));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), c.best ? players_file(*c.best) : c.before);
  }
}

// The real program with no display at all: the answers must come before any window exists.
TEST(CommandLine, HelpAndVersionAnswerWithoutADisplayAndAnUnknownOptionFails) {
  const struct {
    QString option;
    int status;
    QString out, err;
  } cases[] = {
      {QStringLiteral("--help"), 0, QStringLiteral("Usage: pawnfall"), {}},
      {QStringLiteral("--version"), 0, QStringLiteral("Pawnfall 0.9\n"), {}},
      {QStringLiteral("--frobnicate"), 2, {}, QStringLiteral("pawnfall: unknown option")},
  };
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  for (const auto& c : cases) {
    QProcess game;
    game.setProcessEnvironment(env);
    end_with_the_test(game);
    game.start(QStringLiteral(PAWNFALL_RUN_DIR "/pawnfall"), {c.option});
    ASSERT_TRUE(game.waitForFinished(5000)) << c.option.toStdString();
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit) << c.option.toStdString();
    EXPECT_EQ(game.exitCode(), c.status) << c.option.toStdString();
    const QString out = QString::fromUtf8(game.readAllStandardOutput());
    const QString err = QString::fromUtf8(game.readAllStandardError());
    EXPECT_TRUE(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out)) << out.toStdString();
    EXPECT_TRUE(c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err)) << err.toStdString();
  }
}

// The command of a desktop entry's Exec= line, without arguments or field codes.
QString desktop_command(const QString& entry_file) {
  QFile entry(entry_file);
  if (!entry.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  for (const QString& line : QString::fromUtf8(entry.readAll()).split('\n'))
    if (line.startsWith(QStringLiteral("Exec="))) return line.mid(5).section(' ', 0, 0);
  return {};
}

bool any_sound(const QString& raw_file) {
  QFile f(raw_file);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = f.readAll();
  return std::any_of(bytes.begin(), bytes.end(), [](char b) { return b != 0; });
}

// Starts an installed game as the desktop would, from a fresh home folder, plays a chain and
// quits; the game must keep its settings in the data folder and play its installed sounds.
void play_installed_game(const QString& command, const QStringList& environment = {}) {
  ASSERT_TRUE(QFileInfo(command).isExecutable()) << command.toStdString();
  QTemporaryDir audio;
  XSession x;
  ASSERT_TRUE(x.ok());
  GameOptions options;
  options.program_as_home = command;
  const QString raw = audio.filePath(QStringLiteral("mix.raw"));
  options.environment = QStringList{QStringLiteral("SDL_AUDIODRIVER=disk"),
                                    QStringLiteral("SDL_DISKAUDIOFILE=") + raw} +
                        environment;
  GameProcess game(x, options);
  ASSERT_TRUE(game.wait_for_window());
  const double score = play_a_chain(x);
  EXPECT_GT(score, 0);

  const QDir data(game.folder() + QStringLiteral("/.local/share/pawnfall"));
  QFile ini(data.filePath(QStringLiteral("Pawnfall.ini")));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QString settings = QStringDecoder("Shift_JIS")(ini.readAll());
  EXPECT_TRUE(settings.contains(QStringLiteral("過去最高スコア=%1\r\n").arg(score)))
      << "the best score was not saved in the data folder";
  EXPECT_EQ(data.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("Pawnfall.ini")});
  EXPECT_EQ(game.files(), QStringList{QStringLiteral(".local")}) << "written into the home folder";
  QElapsedTimer clock;
  clock.start();
  while (!any_sound(raw) && clock.elapsed() < 5000) QThread::msleep(100);
  EXPECT_TRUE(any_sound(raw)) << "no sound was played";
  escape_ends_with_status_zero(game);
}

// Homes an XDG desktop allows: the window comes each time, with one warning where no data
// folder can be had and nothing written then, and the best score kept where one can.
void start_installed_game_in_odd_homes(const QString& command, const QStringList& environment,
                                       const QString& only = {}) {
  const QString data = QStringLiteral("/.local/share/pawnfall");
  QTemporaryFile file;
  ASSERT_TRUE(file.open());
  // Beyond what a path may hold: no folder of it is to be made.
  QTemporaryDir roomy;
  const QString too_long = roomy.path() + QStringLiteral("/%1").arg(QString(200, 'a')).repeated(25);
  const auto read_only_data_folder = [&](const QString& home) {
    QDir(home).mkpath(home + data);
    write_file(home + data + QStringLiteral("/Pawnfall.ini"), "BGM=OFF\r\n");
    QFile::setPermissions(home + data, QFile::ReadOwner | QFile::ExeOwner);
  };
  const struct {
    QString name;
    QStringList environment;
    bool read_only_home = false;
    std::function<void(const QString&)> prepare;
    QString kept_in;  // the data folder under the home, where the best score is kept
  } cases[] = {
      {QStringLiteral("home-unset"), {QStringLiteral("HOME")}, false, {}, {}},
      {QStringLiteral("read-only-home"), {}, true, {}, {}},
      {QStringLiteral("xdg-data-home-relative"),
       {QStringLiteral("XDG_DATA_HOME=share")},
       false,
       {},
       data},
      {QStringLiteral("xdg-data-home-a-file"),
       {QStringLiteral("XDG_DATA_HOME=") + file.fileName()},
       false,
       {},
       {}},
      {QStringLiteral("read-only-data-folder"), {}, false, read_only_data_folder, data},
      {QStringLiteral("xdg-data-home-too-long"),
       {QStringLiteral("XDG_DATA_HOME=") + too_long},
       false,
       {},
       {}},
  };
  int started = 0;
  for (const auto& c : cases) {
    if (!only.isEmpty() && c.name != only) continue;
    ++started;
    SCOPED_TRACE(c.name.toStdString());
    XSession x;
    ASSERT_TRUE(x.ok());
    GameOptions options;
    options.program_as_home = command;
    options.read_only_folder = c.read_only_home;
    options.prepare = c.prepare;
    options.environment = environment + c.environment;
    GameProcess game(x, options);
    ASSERT_TRUE(game.started());
    EXPECT_EQ(game.dismiss_start_up_warnings(), c.kept_in.isEmpty() ? 1 : 0) << "no window?";
    const double score = play_a_chain(x);
    EXPECT_GT(score, 0);
    escape_ends_with_status_zero(game);
    if (c.kept_in.isEmpty()) {
      EXPECT_TRUE(game.files().isEmpty()) << game.files().join(' ').toStdString();
      EXPECT_EQ(file.size(), 0);
      EXPECT_TRUE(QDir(roomy.path()).isEmpty());
      continue;
    }
    QFile ini(game.folder() + c.kept_in + QStringLiteral("/Pawnfall.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().endsWith("=" + QByteArray::number(score) + "\r\n"));
  }
  EXPECT_GT(started, 0) << "no home named " << only.toStdString();
}

std::optional<QString> installed_prefix_command(const QTemporaryDir& prefix) {
  QProcess install;
  end_with_the_test(install);
  install.start(QStringLiteral(PAWNFALL_CMAKE_COMMAND),
                {QStringLiteral("--install"), QStringLiteral(PAWNFALL_BINARY_DIR),
                 QStringLiteral("--prefix"), prefix.path()});
  if (!install.waitForFinished(60000) || install.exitCode() != 0) return std::nullopt;
  return prefix.filePath(QStringLiteral("bin/")) +
         desktop_command(prefix.filePath(QStringLiteral("share/applications/pawnfall.desktop")));
}

TEST(InstalledGame, StartsFromItsDesktopEntryInTheHomeFolderAndKeepsItsFilesInTheDataFolder) {
  QTemporaryDir prefix;
  const auto command = installed_prefix_command(prefix);
  ASSERT_TRUE(command) << "cmake --install failed";
  play_installed_game(*command);
  start_installed_game_in_odd_homes(*command, {});
}

// The game as its Debian package installs it, named by the desktop entry given in
// PAWNFALL_INSTALLED_DESKTOP_ENTRY; run by tools/package_test.sh, which installs the package.
// PAWNFALL_HOME_CASE names one odd home to start it in instead of a fresh one.
TEST(InstalledPackage, StartsFromItsDesktopEntryOnAPlayersPathAndPlays) {
  const QString entry = qEnvironmentVariable("PAWNFALL_INSTALLED_DESKTOP_ENTRY");
  if (entry.isEmpty()) GTEST_SKIP() << "no installed package named";
  // A player's PATH on Debian, which holds the games folder that root's lacks.
  const QString path = QStringLiteral("/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games");
  const QString command = QStandardPaths::findExecutable(desktop_command(entry), path.split(':'));
  ASSERT_FALSE(command.isEmpty()) << "the desktop entry's command is on no player's PATH";
  const QStringList environment{QStringLiteral("PATH=") + path,
                                QStringLiteral("QT_QPA_PLATFORM=xcb")};
  if (const QString home = qEnvironmentVariable("PAWNFALL_HOME_CASE"); !home.isEmpty())
    start_installed_game_in_odd_homes(command, environment, home);
  else
    play_installed_game(command, environment);
}

}  // namespace
}  // namespace pawnfall::e2e
