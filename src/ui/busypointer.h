#pragma once
// The busy (hourglass) pointer, shown from the start to the end of every run.
// A BusyPointer shows it for its lifetime; the error boundary puts the pointer
// back to what it was before a failed handler, and a guard whose pointer was
// already put back does nothing more. Without a GUI application (batch runs)
// only the count is kept.

namespace quillon {

class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // Back to the pointer this guard replaced, before the guard ends.
    void release();

    // How many busy pointers are shown, one inside the other.
    static int depth();
    static bool shown() { return depth() > 0; }
    // Removes the busy pointers shown since depth() was `level`.
    static void restoreTo(int level);

private:
    int m_level;
};

}  // namespace quillon
