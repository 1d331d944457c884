#include "shell/skin_files.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zervik {

namespace {

constexpr std::array<const char*, 6> kPieceKinds = {"rook", "knight", "bishop",
                                                    "queen", "king", "pawn"};

QString Normalised(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

QStringList SortedEntries(const QString& folder, QDir::Filters filters) {
  QDir dir(folder);
  if (!dir.exists()) return {};
  QStringList names = dir.entryList(filters | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                    QDir::NoSort);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

QString PieceFileForSlot(int slot, int localColour) {
  const bool own = slot < 6;
  const bool white = own == (localColour == 0);
  return QString::fromLatin1(white ? "w" : "b") + QString::fromLatin1(kPieceKinds[slot % 6]) +
         QStringLiteral(".bmp");
}

QString TSkinFolders::PiecePath(const QString& setName, const QString& file) {
  return Normalised(QStringLiteral("Figures/") + setName + QLatin1Char('/') + file);
}

QString TSkinFolders::BoardPath(const QString& boardName) {
  return Normalised(QStringLiteral("Boards/") + boardName + QStringLiteral(".bmp"));
}

QString TSkinFolders::Absolute(const QString& programPath) const {
  if (root_.isEmpty()) return programPath;
  return root_ + QLatin1Char('/') + programPath;
}

QString TSkinFolders::Locate(const QString& programPath) const {
  const QString exact = Absolute(programPath);
  if (QFileInfo::exists(exact)) return exact;
  // Walk the parts one by one and take, where the exact spelling is
  // missing, the one entry that matches without regard to case.
  QString found = root_.isEmpty() ? QString() : root_;
  const QStringList parts = programPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    const QString folder = found.isEmpty() ? QStringLiteral(".") : found;
    const QString candidate = found.isEmpty() ? part : found + QLatin1Char('/') + part;
    if (QFileInfo::exists(candidate)) {
      found = candidate;
      continue;
    }
    const QStringList entries =
        SortedEntries(folder, QDir::AllEntries);
    auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& entry) {
      return entry.compare(part, Qt::CaseInsensitive) == 0;
    });
    if (match == entries.end()) return exact;  // missing: the caller reports the exact name
    found = found.isEmpty() ? *match : found + QLatin1Char('/') + *match;
  }
  return found;
}

bool TSkinFolders::Exists(const QString& programPath) const {
  return QFileInfo::exists(Locate(programPath));
}

QStringList TSkinFolders::PieceSets() const {
  QStringList sets;
  for (const QString& name : SortedEntries(Absolute(QStringLiteral("Figures")), QDir::AllEntries))
    if (!name.contains(QLatin1Char('.'))) sets << name;
  return sets;
}

QStringList TSkinFolders::Boards() const {
  QStringList boards;
  for (const QString& name : SortedEntries(Absolute(QStringLiteral("Boards")), QDir::Files)) {
    if (!name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) continue;
    boards << name.left(name.lastIndexOf(QLatin1Char('.')));
  }
  return boards;
}

void TSkinFolders::ApplyFallback(std::string& pieceSetName, std::string& boardName) const {
  // An empty name or a "." or ".." would name the folder itself or its
  // parent, which is no piece set.
  const auto usable = [](const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..");
  };
  const QString set = QString::fromStdString(pieceSetName);
  if (!usable(set) || !Exists(Normalised(QStringLiteral("Figures/") + set))) {
    const QStringList sets = PieceSets();
    if (!sets.isEmpty()) pieceSetName = sets.last().toStdString();
  }
  const QString board = QString::fromStdString(boardName);
  if (!usable(board) || !Exists(BoardPath(board))) {
    const QStringList boards = Boards();
    if (!boards.isEmpty()) boardName = boards.last().toStdString();
  }
}

}  // namespace zervik
