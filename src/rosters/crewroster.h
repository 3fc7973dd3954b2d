#pragma once
// The crew roster window's logic (Form12): one crew picked by request number
// (list 0) or by crew name (list 1). Both lists show the same rows, the
// crews; each list shows them in its own order when it opens, and a choice
// in one list shows the same crew in the other.

#include "data/recordset.h"
#include "shell/app.h"

namespace quillon {

class CrewRoster {
public:
    static constexpr std::int16_t ReportNo = 12;
    enum ListIndex { RequestNumberList = 0, CrewNameList = 1 };

    explicit CrewRoster(App& app);

    // Opening: no crew chosen, the crews read.
    void load();
    // The rows both lists show: RequestNumber, Name, ResourceID, ReqCat, ReqNum.
    const RecordsetPtr& crews() const { return m_crews; }
    // The field list `index` shows.
    static QString listField(int index);

    // List `index` is opening: the rows take that list's order.
    void listOpened(int index);
    // An item of list `index` was chosen and its row made current. Returns
    // the text the other list shows now.
    QString itemChosen(int index);

    void cmdPrint_Click();

    std::int32_t resourceId() const { return m_resourceId; }

private:
    App& m_app;
    RecordsetPtr m_crews;
    std::int32_t m_resourceId = 0;
};

}  // namespace quillon
