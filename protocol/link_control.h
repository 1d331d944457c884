// What the match controller asks of the link layer: which side of the link
// this copy is, closing the links, and the modem's carrier line. The LAN
// and modem links implement it; tests implement it with an in-memory pipe.
#pragma once

namespace zervik {

class ILinkControl {
 public:
  virtual ~ILinkControl() = default;
  // The copy that tosses the coin: its listening socket ss1 is active, or
  // on a modem link it answered the call.
  virtual bool IsServerCopy() const = 0;
  // ss1.Active := false and cs1.Active := false. The serial port is left
  // open (the main menu's opening action closes it).
  virtual void CloseLinks() = 0;
  // The modem's carrier-detect line (RLSD). Asked only on a modem link.
  virtual bool CarrierDetect() const = 0;
};

}  // namespace zervik
