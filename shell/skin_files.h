// The skin folders: piece sets as sub-folders of "Figures", boards as single
// files in "Boards", both relative to the current directory (or to a root
// folder a test names). Finds what exists, replaces a configured name that
// no longer exists, and names the twelve piece files of each slot.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <string>

namespace zervik {

inline constexpr int kPieceSlots = 12;
inline constexpr int kBoardPictureSize = 490;
inline constexpr int kPiecePictureSize = 60;

// The file of `pieceBitmaps` slot 0-11 for the local colour (0 white,
// 1 black): slots 0-5 the own rook, knight, bishop, queen, king, pawn,
// slots 6-11 the opponent's.
QString PieceFileForSlot(int slot, int localColour);

class TSkinFolders {
 public:
  // An empty root means the current directory of the process.
  explicit TSkinFolders(QString root = {}) : root_(std::move(root)) {}

  // Paths as the program names them ("Figures/Classic/wrook.bmp",
  // "Boards/Wood.bmp"); a "\" in a stored name counts as "/".
  static QString PiecePath(const QString& setName, const QString& file);
  static QString BoardPath(const QString& boardName);

  // The file to open for one of those names. The names come from the INI
  // file and from other systems whose file names ignore letter case, so a
  // part that does not exist with exactly this case is looked up without
  // regard to case; the exact spelling wins when both exist.
  QString Locate(const QString& programPath) const;
  bool Exists(const QString& programPath) const;

  // The catalogues of the skin window: the set entries (anything in
  // "Figures" whose name has no extension) and the boards ("*.bmp" in
  // "Boards", any letter case, shown without the extension). Sorted by name,
  // since a Linux directory listing has no order of its own.
  QStringList PieceSets() const;
  QStringList Boards() const;

  // The start-up check: a set or board name that does not exist is replaced
  // by the last entry of its catalogue; with an empty catalogue the name
  // stays. Names are UTF-8.
  void ApplyFallback(std::string& pieceSetName, std::string& boardName) const;

 private:
  QString Absolute(const QString& programPath) const;
  QString root_;
};

}  // namespace zervik
