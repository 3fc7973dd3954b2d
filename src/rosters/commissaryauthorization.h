#pragma once
// The commissary authorization window's logic (Form9): whose authorization
// forms are printed — one person, one resource chosen by request number or
// by crew name, or all personnel — and the run of the report.
//
// The window fills its three lists from the record sets here, forwards the
// user's choices, and is told through CommissaryAuthorizationView which
// option to select and which list texts to clear. Nothing is written to the
// database.

#include "data/recordset.h"
#include "data/value.h"
#include "shell/app.h"

namespace quillon {

class CommissaryAuthorizationView {
public:
    enum class Option { Crew, RequestNumber, Person, All };
    enum class List { Crew, RequestNumber, Person };

    virtual ~CommissaryAuthorizationView() = default;
    virtual void selectOption(Option option) = 0;
    virtual void clearListText(List list) = 0;
};

class CommissaryAuthorization {
public:
    static constexpr std::int16_t ReportNo = 9;

    explicit CommissaryAuthorization(App& app, CommissaryAuthorizationView* view = nullptr);

    // Opening: no one chosen, the three lists filled.
    void load();
    const RecordsetPtr& persons() const { return m_persons; }            // strName, PersonID
    const RecordsetPtr& crews() const { return m_crews; }                // Name, ResourceID
    const RecordsetPtr& requestNumbers() const { return m_requestNumbers; }  // RequestNumber, ResourceID

    // A list's choice, with the key it returns (Null or empty: nothing chosen).
    void personChosen(const Value& personId);
    void requestNumberChosen(const Value& resourceId);
    void crewChosen(const Value& resourceId);
    // "Select all Personnel" clicked.
    void allOptionClicked();

    void RunButton_Click();

    std::int32_t personId() const { return m_personId; }
    std::int32_t resourceId() const { return m_resourceId; }

private:
    void choose(std::int32_t personId, std::int32_t resourceId);

    App& m_app;
    CommissaryAuthorizationView* m_view;
    RecordsetPtr m_persons;
    RecordsetPtr m_crews;
    RecordsetPtr m_requestNumbers;
    std::int32_t m_personId = 0;
    std::int32_t m_resourceId = 0;
};

}  // namespace quillon
