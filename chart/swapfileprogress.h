#ifndef SWAPFILEPROGRESS_H
#define SWAPFILEPROGRESS_H

#include <QString>

// What a long capture-file read tells its caller and asks of it. The file
// code knows no window or cursor: whoever shows progress implements this.
class SwapFileProgress
{
public:
  virtual ~SwapFileProgress() = default;
  // What the read is doing now, in the user's words.
  virtual void setInfo(const QString &text) = 0;
  // Share of the current step done, 0..100.
  virtual void setValue(int percent) = 0;
  // Asked between blocks of records of the long walks (the navigation scan
  // and the recovery of a capture without its statistics); true stops the
  // read as terminate() does. A window runs its pending events here, which
  // is where a click on its Close button arrives.
  virtual bool cancelled() = 0;
};

#endif // SWAPFILEPROGRESS_H
