#include "shell/TextOut.h"

#include <iostream>
#include <utility>
#include <vector>

#include "platform/Encoding.h"
#include "shell/Words.h"

namespace qov {

namespace {

constexpr std::u32string_view kItemField = U"アイテム";
// Between the parts of a menu as it is spoken: a pause.
constexpr std::u32string_view kSpokenPause = U"、";

}  // namespace

TextOut::TextOut(Platform& platform, HostedGame& game, Comforts& comforts, Notify notify)
    : platform_(platform),
      game_(game),
      comforts_(comforts),
      notify_(std::move(notify)),
      speech_(std::make_unique<Speech>()) {
  game_.observeText(this);
}

TextOut::~TextOut() {
  game_.observeText(nullptr);
}

void TextOut::start() {
  const PlayerSettings& settings = comforts_.settings();
  if (!hookFd_ && settings.textHook) hookFd_ = kStandardOutput;
  if (hookFd_) hook_.emplace(*hookFd_);
  copying_ = settings.clipboard;
  speech_->setRate(settings.speechRate);
  speech_->setVolume(settings.speechVolume);
  speaking_ = settings.speech;
}

bool TextOut::perform(const Asked& asked) {
  if (asked.action == Action::Clipboard) {
    if (!asked.again) toggleClipboard();
    return true;
  }
  if (asked.action == Action::Speech) {
    if (!asked.again) toggleSpeech();
    return true;
  }
  return false;
}

void TextOut::toggleClipboard() {
  copying_ = !copying_;
  comforts_.changeSettings([this](PlayerSettings& s) { s.clipboard = copying_; });
  const std::u32string said = copying_ ? tr(U"Each page's text goes to the clipboard")
                                       : tr(U"No more text goes to the clipboard");
  std::cerr << "qov: " << toUtf8(said) << '\n' << std::flush;
  announce(said);
  if (copying_ && !page_.empty()) copy(page_);
}

void TextOut::toggleSpeech() {
  speaking_ = !speaking_;
  comforts_.changeSettings([this](PlayerSettings& s) { s.speech = speaking_; });
  if (!speaking_) {
    speech_->cancel();
    return;
  }
  speak(tr(U"Reading aloud"));
  if (!page_.empty()) speak(page_);
}

void TextOut::skip(bool on) {
  if (on && !skipping_ && speaking_) speech_->cancel();
  skipping_ = on;
}

void TextOut::announce(std::u32string_view text) {
  if (speaking_) speak(text);
}

void TextOut::pageShown(std::u32string_view text) {
  page_ = text;
  if (hook_) hook_->write(text);
  if (copying_) copy(text);
  if (speaking_) speak(text);
}

void TextOut::pageGone() {
  page_.clear();
  if (!speaking_) return;
  // The next page, or the window cleared, cuts off the page being spoken.
  checkSpeech();
  speech_->cancel();
}

void TextOut::menuShown(std::u32string_view header, std::span<const std::u32string> entries) {
  if (hook_) {
    std::vector<std::u32string> fields{std::u32string(header)};
    fields.insert(fields.end(), entries.begin(), entries.end());
    hook_->writeFields(fields);
  }
  announceMenu(header, entries);
}

void TextOut::announceMenu(std::u32string_view header, std::span<const std::u32string> entries) {
  if (!speaking_) return;
  std::u32string said(header);
  for (const std::u32string& entry : entries) {
    said += kSpokenPause;
    said += entry;
  }
  speak(said);
}

void TextOut::menuFocused(std::u32string_view entry) {
  if (!speaking_) return;
  // The entry the player moves to is what matters now.
  speech_->cancel();
  speak(entry);
}

void TextOut::itemShown(std::u32string_view name) {
  if (hook_) {
    const std::u32string fields[] = {std::u32string(kItemField), std::u32string(name)};
    hook_->writeFields(fields);
  }
  if (speaking_) speak(name);
}

void TextOut::copy(std::u32string_view text) {
  if (platform_.setClipboardText(toUtf8(text))) return;
  if (!clipboardRefused_)
    std::cerr << "qov: the desktop refused the clipboard text\n" << std::flush;
  clipboardRefused_ = true;
}

void TextOut::speak(std::u32string_view text) {
  checkSpeech();
  speech_->say(toUtf8(text));
}

void TextOut::checkSpeech() {
  const std::optional<std::string> problem = speech_->takeProblem();
  if (!problem) return;
  std::cerr << "qov: speech-dispatcher cannot speak (" << *problem << "); the game goes on silent\n"
            << std::flush;
  notify_({fill(tr(U"Cannot read aloud (speech-dispatcher: {})."), {fromUtf8(*problem)}),
           tr(U"The game goes on without a voice.")});
}

}  // namespace qov
