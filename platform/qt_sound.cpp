#include "platform/qt_sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

namespace zervik {

TSoundPlayer::TSoundPlayer() = default;

TSoundPlayer::~TSoundPlayer() { Stop(); }

bool TSoundPlayer::Play(std::string_view fileName) {
  const QFileInfo file(QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())));
  if (!file.isFile()) {
    Stop();
    return false;
  }
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (output.isNull()) return false;

  const std::string absolute = file.absoluteFilePath().toStdString();
  if (!effect_ || effectFile_ != absolute || effect_->status() == QSoundEffect::Error) {
    // A new effect per file: the file is decoded once and kept while the
    // same sound is played again and again.
    Stop();
    effect_ = std::make_unique<QSoundEffect>(output);
    effect_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    effectFile_ = absolute;
  } else {
    effect_->stop();
  }
  // While the file is still being decoded this queues the sound, which then
  // starts as soon as it is ready.
  effect_->play();
  return true;
}

void TSoundPlayer::Stop() {
  if (effect_) effect_->stop();
}

}  // namespace zervik
