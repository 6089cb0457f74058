// Holding back the screen's updates while several changes are made, so that they show as one:
// scroll bars, the caret and status reports wait until the outermost lock is let go.
#pragma once

class PaintLockOwner {
public:
  virtual ~PaintLockOwner() = default;
  virtual void IncPaintLock() = 0;
  virtual void DecPaintLock() = 0;
};

// Holds a paint lock for a scope, also when an exception passes.
class PaintLock {
public:
  explicit PaintLock(PaintLockOwner& owner) : owner_(owner) { owner_.IncPaintLock(); }
  ~PaintLock() { owner_.DecPaintLock(); }
  PaintLock(const PaintLock&) = delete;
  PaintLock& operator=(const PaintLock&) = delete;

private:
  PaintLockOwner& owner_;
};
