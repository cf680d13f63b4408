#ifndef WAITINDICATOR_H
#define WAITINDICATOR_H

// Shows the busy cursor over the whole application while it exists. Put one
// on the stack around long work in the GUI thread; instances nest.
class WaitIndicator
{
public:
  WaitIndicator();
  ~WaitIndicator();
  WaitIndicator(const WaitIndicator &) = delete;
  WaitIndicator &operator=(const WaitIndicator &) = delete;
};

#endif // WAITINDICATOR_H
