// A platform that records what the game draws, shows and asks, with a virtual clock.
#include "tests/fakes/fake_platform.h"

#include "model/backgrounds.h"
#include "model/settings_file.h"

namespace pawnfall::test {

FakePlatform::FakePlatform() {
  for (const auto& b : 背景表) checks[b.item] = false;
  checks[MenuItem::SIDOU] = checks[MenuItem::BGM] = false;
  checks[MenuItem::TATAMI] = true;  // as the menu is created
}

std::vector<MenuItem> FakePlatform::checked_backgrounds() const {
  std::vector<MenuItem> out;
  for (const auto& b : 背景表)
    if (checks.at(b.item)) out.push_back(b.item);
  return out;
}

void FakePlatform::paint_picture(Picture picture, double x, double y) {
  paints.push_back({picture, x, y});
  events.push_back("paint");
}

void FakePlatform::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  outlines.push_back({colour, x1, y1, x2, y2});
  events.push_back("outline");
}

void FakePlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                              int points, int colour) {
  texts.push_back({x, y, std::string(text), std::string(face), points, colour});
  events.push_back("text");
}

void FakePlatform::present() {
  ++presents;
  events.push_back("present");
}

bool FakePlatform::checked(MenuItem item) const { return checks.at(item); }

void FakePlatform::set_checked(MenuItem item, bool on) { checks[item] = on; }

void FakePlatform::message_box(std::string_view text, std::string_view caption, MessageIcon icon) {
  messages.push_back({std::string(text), std::string(caption), icon});
}

void FakePlatform::wait(double seconds) {
  ++waits;
  waited_seconds += seconds;
  events.push_back("wait");
}

std::optional<SoundLibrary> FakePlatform::load_sound_library() { return library; }

FileContents FakePlatform::read_file(std::string_view name, std::size_t max_bytes) {
  if (not_regular.contains(name)) return {FileStatus::NotRegular, {}, {}};
  if (auto raw = raw_files.find(name); raw != raw_files.end())
    return {FileStatus::Read, raw->second.substr(0, max_bytes), {}};
  if (unreadable.contains(name)) return {FileStatus::Unreadable, {}, "入出力エラー"};
  auto it = files.find(name);
  if (it == files.end()) return {FileStatus::Missing, {}, {}};
  std::string bytes = 符号化_設定(it->second).value_or("");
  if (bytes.size() > max_bytes) bytes.resize(max_bytes);
  return {FileStatus::Read, bytes, {}};
}

SaveResult FakePlatform::replace_file(std::string_view name, std::string_view bytes) {
  if (not_regular.contains(name)) return SaveResult::NotRegular;
  if (fail_writes) return *fail_writes;
  ++writes;
  files[std::string(name)] = 行に分ける(復号_設定(bytes));
  if (after_write) after_write();
  return SaveResult::Saved;
}

std::unique_ptr<FileLock> FakePlatform::lock_file(std::string_view) {
  return lock_busy ? nullptr : std::make_unique<FileLock>();
}

void FakePlatform::clear_drawing() {
  paints.clear();
  outlines.clear();
  texts.clear();
  events.clear();
  presents = 0;
}

}  // namespace pawnfall::test
