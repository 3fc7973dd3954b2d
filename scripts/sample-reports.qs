# The reports of the sample database, each built through the window a person
# would use. scripts/run runs this when there is no display:
#   quillon --script scripts/sample-reports.qs --out DIR --db sample/quillon-sample.db
# A report that cannot be built shows its message and the run goes on.

open Form0
pick Form0.dbcIncidents Cedar Ridge

# Direct reports of the main menu: commissary charges, equipment management.
click Form0.Option2
click Form0.cmdSelect
click Form0.Option10
click Form0.cmdSelect

# Work/rest ratio of all personnel over the two weeks, by request number.
click Form0.Option1
click Form0.cmdSelect
click Form1.AllOption
type Form1.StartDay 07/14/2026
type Form1.EndDate 07/27/2026
click Form1.ReqNumSort
click Form1.RunButton
close Form1

# Summary of hours of one person.
click Form0.Option3
click Form0.cmdSelect
click Form3.PersonnelOption
pick Form3.dbcPerson Nguyễn, Thị Hồng
click Form3.RunButton
close Form3

# Shifts over a 14-hour standard, all personnel.
click Form0.Option5
click Form0.cmdSelect
click Form5.AllOption
type Form5.StartDay 07/14/2026
type Form5.EndDate 07/27/2026
type Form5.ExcessHrs 14
click Form5.TotalSort
click Form5.RunButton
close Form5

# The OF-288 of one person as a DRAFT, with its commissary detail: nothing is issued or locked.
click Form0.Option6
click Form0.cmdSelect
click Form6.PersonnelOption
pick Form6.dbcPersons Смирнова, Ольга Викторовна
type Form6.dtpEndDate 07/27/2026
click Form6.optPrint(1)
click Form6.RunButton(0)
close Form6

# The OF-286 of a contract crew as a DRAFT, with its deductions and additions.
click Form0.Option7
click Form0.cmdSelect
click Form7.optType(1)
pick Form7.dbcContractors Greenleaf Reforestation Inc.
pick Form7.dbcAgreements SIB-26-E-1004
pick Form7.dbcEquipments Greenleaf Crew 1
click Form7.optPrint(1)
click Form7.optDeduct(0)
click Form7.RunButton(0)
close Form7

# Commissary authorization of one person.
click Form0.Option9
click Form0.cmdSelect
click Form9.PersonnelOption
pick Form9.dbcPerson Kowalczyk-Wiśniewska-Brzęczyszczykiewicz, Małgorzata Anna-Maria
click Form9.RunButton
close Form9

# Crew roster of the first crew.
click Form0.Option11
click Form0.cmdSelect
pick Form12.dbcReqNum(0) C-1
click Form12.cmdPrint
close Form12

# Personnel time report of every office over the first week.
click Form0.Option12
click Form0.cmdSelect
type frmIncidentTimeReport.dtpStartDate 07/14/2026
type frmIncidentTimeReport.dtpEndDate 07/20/2026
click frmIncidentTimeReport.cmdCheckAll
type frmIncidentTimeReport.txtLeaderName Dana Whitfield
type frmIncidentTimeReport.txtLeaderPhone 5305550199
click frmIncidentTimeReport.cmdPrint
close frmIncidentTimeReport

# Payment summary of equipment usage: every contractor, then one.
click Form0.Option4
click Form0.cmdSelect
click Form4.RunButton
pick Form4.dbcContractor O'Brien Water Hauling
click Form4.RunButton
close Form4

# Contractor debits of one contractor.
click Form0.Option8
click Form0.cmdSelect
pick Form10.dbcContractors Sierra Earthworks LLC
click Form10.RunButton
close Form10

# Both incidents as one.
click Form0.chkMgAs1
click Form0.Option2
click Form0.cmdSelect
