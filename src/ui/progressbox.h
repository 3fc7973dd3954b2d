#pragma once
// Shows the progress of a run in its window: once the run has lasted half a
// second, a box over it (modal to the whole program) says what the run is
// doing and how far it is ("Numbering postings 12,000 of 370,000"), with a
// Cancel button that asks the run to stop. For as long as the object lives.
//
//   ProgressBox box(this, app.progress());
//   logic.run(...);

#include "data/progress.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

namespace quillon {

class ProgressBox {
public:
    ProgressBox(QWidget* window, Progress& progress);
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

private:
    void show(const Progress& progress);

    QWidget* m_window;
    Progress& m_progress;
    QPointer<QProgressDialog> m_dialog;
};

}  // namespace quillon
