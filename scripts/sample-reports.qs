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
