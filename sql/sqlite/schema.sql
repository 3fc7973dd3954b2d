-- Incident database, embedded (SQLite) form.
-- Dates are stored as ISO text 'YYYY-MM-DD' (declared DATE) so that comparisons
-- and BETWEEN work; date-times and times of day as 'YYYY-MM-DD HH:MM:SS'
-- (declared DATETIME; a time of day carries the date 1899-12-30). Money is
-- declared MONEY (numeric affinity) and read back as exact currency rounded to
-- ten-thousandths; flags are declared BIT and hold 0 or 1.
--
-- The scalar function f_SortRequestNumber is not part of this file: the
-- SQLite engine registers it on every connection. It must give the same
-- result as the SQL Server function in sql/sqlserver/schema.sql: the request
-- number trimmed and upper-cased, with every run of decimal digits left-padded
-- with zeros to six digits (C-5 -> C-000005, C-12.1 -> C-000012.000001), so
-- that plain text order is natural order: C-5 < C-12 < C-12.1. Null stays Null.

CREATE TABLE Incidents (
    IncidentID       INTEGER PRIMARY KEY,
    IncidentName     VARCHAR(50),
    IncidentNumber   VARCHAR(20),
    StartDate        DATE,
    IncidentLocation VARCHAR(50),
    IncidentState    VARCHAR(2)
);

CREATE TABLE Resources (
    ResourceID     INTEGER PRIMARY KEY,
    IncidentID     INTEGER REFERENCES Incidents(IncidentID),
    Name           VARCHAR(50),
    RequestNumber  VARCHAR(20),
    Collection     BIT NOT NULL DEFAULT 0,
    KindCode       VARCHAR(10),
    AssignDate     DATE,
    ReleaseDate    DATE,
    ReleaseTime    DATETIME,
    RemarksOF286   VARCHAR(255)
);
CREATE INDEX ixResourcesIncident ON Resources(IncidentID);

CREATE TABLE AccountingCodes (
    AccountingID   INTEGER PRIMARY KEY,
    AccountingCode VARCHAR(20),
    IncidentID     INTEGER REFERENCES Incidents(IncidentID)
);
CREATE INDEX ixAccountingIncident ON AccountingCodes(IncidentID);

CREATE TABLE Persons (
    PersonID       INTEGER PRIMARY KEY,
    ResourceID     INTEGER REFERENCES Resources(ResourceID),
    FirstName      VARCHAR(30),
    LastName       VARCHAR(30),
    SSN            VARCHAR(11),
    MailAddr1      VARCHAR(50),
    MailAddr2      VARCHAR(50),
    City           VARCHAR(30),
    State          VARCHAR(2),
    ZipCode        VARCHAR(10),
    InitEmployYN   VARCHAR(1),
    PointOfHire    VARCHAR(50),
    ReturnTravelYN VARCHAR(1),
    FedCode        VARCHAR(10),
    Remarks        VARCHAR(255),
    FaxPhone       VARCHAR(20),
    Phone          VARCHAR(20),
    AgencyCode     VARCHAR(10),
    PStatus        VARCHAR(1),
    KindCode       VARCHAR(10),
    Rate           MONEY,
    AccountingID   INTEGER
);
CREATE INDEX ixPersonsResource ON Persons(ResourceID);

CREATE TABLE PersonsPost (
    PersonsPostID  INTEGER PRIMARY KEY,
    PersonID       INTEGER REFERENCES Persons(PersonID),
    ActivityDT     DATE,
    StartTime      DATETIME,
    StopTime       DATETIME,
    Hours          FLOAT,
    KindCode       VARCHAR(10),
    PremiumCode    VARCHAR(4),
    Class          VARCHAR(4),
    Rate           MONEY,
    AccountingID   INTEGER,
    Column288      SMALLINT,
    RptOrder       SMALLINT,
    FinalCol       BIT NOT NULL DEFAULT 0,
    InvoiceID      INTEGER DEFAULT 0
);
CREATE INDEX ixPersonsPostPerson ON PersonsPost(PersonID, ActivityDT);
CREATE INDEX ixPersonsPostInvoice ON PersonsPost(InvoiceID);

CREATE TABLE PersonsDebit (
    PersonsDebitID INTEGER PRIMARY KEY,
    PersonID       INTEGER REFERENCES Persons(PersonID),
    ActivityDT     DATE,
    Amt            MONEY,
    Description    VARCHAR(50),
    InvoiceID      INTEGER DEFAULT 0
);
CREATE INDEX ixPersonsDebitPerson ON PersonsDebit(PersonID);

CREATE TABLE PersonsInvoices (
    PersonsInvoiceID INTEGER PRIMARY KEY,
    PersonID         INTEGER REFERENCES Persons(PersonID),
    FirstDate        DATE,
    LastDate         DATE,
    InvoiceSuffix    VARCHAR(1),
    Original         SMALLINT,
    Amount           INTEGER,
    Del              BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixPersonsInvoicesPerson ON PersonsInvoices(PersonID);

CREATE TABLE PersonsInvoicesReason (
    PersonsInvoicesReasonID INTEGER PRIMARY KEY,
    PersonsInvoiceID        INTEGER REFERENCES PersonsInvoices(PersonsInvoiceID),
    Original                SMALLINT,
    Reason                  VARCHAR(50)
);

CREATE TABLE AdminOffice (
    AdminOfficeID INTEGER PRIMARY KEY,
    Name          VARCHAR(50),
    Addr1         VARCHAR(50),
    Addr2         VARCHAR(50),
    City          VARCHAR(30),
    State         VARCHAR(2),
    Zip           VARCHAR(10)
);

CREATE TABLE Contractor (
    ContractorID   INTEGER PRIMARY KEY,
    IncidentID     INTEGER REFERENCES Incidents(IncidentID),
    ContractorNum  VARCHAR(20),
    ContractorName VARCHAR(50),
    Addr           VARCHAR(50),
    City           VARCHAR(30),
    State          VARCHAR(2),
    Zip            VARCHAR(10)
);

CREATE TABLE Agreement (
    AgreementID   INTEGER PRIMARY KEY,
    ContractorID  INTEGER REFERENCES Contractor(ContractorID),
    AdminOfficeID INTEGER REFERENCES AdminOffice(AdminOfficeID),
    AgreementNum  VARCHAR(30),
    PointOfHire   VARCHAR(50),
    BeginDt       DATE,
    ExpDt         DATE
);

CREATE TABLE Equipment (
    EquipmentID         INTEGER PRIMARY KEY,
    AgreementID         INTEGER REFERENCES Agreement(AgreementID),
    ResourceID          INTEGER REFERENCES Resources(ResourceID),
    UniqueEquipmentName VARCHAR(50) UNIQUE,
    Make                VARCHAR(30),
    Model               VARCHAR(30),
    GovtOperatorYN      VARCHAR(1),
    GovtSuppliesYN      VARCHAR(1),
    Withdrawn           VARCHAR(1)
);

CREATE TABLE ContractorPost (
    ContractorPostID INTEGER PRIMARY KEY,
    EquipmentID      INTEGER REFERENCES Equipment(EquipmentID),
    ActivityDT       DATE,
    Units            FLOAT,
    UOM              VARCHAR(10),
    Rate             MONEY,
    Amt              MONEY,
    SUnits           FLOAT,
    SUOM             VARCHAR(10),
    SRate            MONEY,
    SAmt             MONEY,
    GuarAmt          MONEY,
    AccountingID     INTEGER,
    InvoiceID        INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ixContractorPostEquipment ON ContractorPost(EquipmentID, ActivityDT);

CREATE TABLE ContractorAdjustments (
    ContractorAdjustmentID INTEGER PRIMARY KEY,
    ContractorID           INTEGER REFERENCES Contractor(ContractorID),
    EquipmentID            INTEGER REFERENCES Equipment(EquipmentID),
    ActivityDT             DATE,
    Amt                    MONEY,
    Description            VARCHAR(50),
    InvoiceID              INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ixContractorAdjustmentsEquipment ON ContractorAdjustments(EquipmentID, ActivityDT);

CREATE TABLE EquipInvoices (
    EquipInvoiceID INTEGER PRIMARY KEY,
    EquipmentID    INTEGER REFERENCES Equipment(EquipmentID),
    FirstDate      DATE,
    LastDate       DATE,
    InvoiceNumber  VARCHAR(40),
    InvoiceSuffix  VARCHAR(1),
    Amount         MONEY,
    Del            BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixEquipInvoicesEquipment ON EquipInvoices(EquipmentID);

CREATE TABLE EquipInvoicesReason (
    EquipInvoiceReasonID INTEGER PRIMARY KEY,
    EquipInvoiceID       INTEGER REFERENCES EquipInvoices(EquipInvoiceID),
    Original             SMALLINT,
    Reason               VARCHAR(50)
);

CREATE TABLE EquipmentPost (
    EquipmentPostID INTEGER PRIMARY KEY,
    AgreementID     INTEGER REFERENCES Agreement(AgreementID),
    EquipmentID     INTEGER REFERENCES Equipment(EquipmentID),
    ActivityDT      DATE,
    UOM             VARCHAR(10),
    Units           FLOAT,
    Rate            MONEY,
    Amt             MONEY,
    GuarAmt         MONEY
);

CREATE TABLE ContractorDebit (
    ContractorDebitID INTEGER PRIMARY KEY,
    ContractorID      INTEGER REFERENCES Contractor(ContractorID),
    EquipmentID       INTEGER REFERENCES Equipment(EquipmentID),
    AMT               MONEY
);

CREATE TABLE L_Kind (
    KindCode VARCHAR(10) PRIMARY KEY COLLATE NOCASE,
    KindDesc VARCHAR(50)
);

CREATE TABLE L_Time (
    Time VARCHAR(4) PRIMARY KEY
);

-- Scratch rows of computed reports; the column order is binding (writers fill
-- columns by position).
CREATE TABLE ReportRecords (
    ReportRun     INTEGER NOT NULL,
    IncidentID    INTEGER,
    PersonID      INTEGER,
    KindCode      VARCHAR(10),
    RequestNumber VARCHAR(20),
    ActivityDT    DATE,
    TotalDayHrs   FLOAT,
    ExcessHrs     FLOAT,
    HR20in24      BIT NOT NULL DEFAULT 0,
    HR36in48      BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixReportRecordsRun ON ReportRecords(ReportRun);

-- One counter per table name for the key allocation procedure: the last key
-- handed out. A table without a row starts above its current largest key.
CREATE TABLE KeyCounters (
    TableName  VARCHAR(40) PRIMARY KEY COLLATE NOCASE,
    LastNumber INTEGER NOT NULL
);

CREATE VIEW qryEquipMgmt AS
SELECT Resources.KindCode AS KindCode, L_Kind.KindDesc AS KindDesc, Resources.IncidentID AS IncidentID,
       Resources.RequestNumber AS RequestNumber, Equipment.UniqueEquipmentName AS UniqueEquipmentName,
       Resources.AssignDate AS AssignDate, Incidents.IncidentName AS IncidentName,
       Incidents.IncidentNumber AS IncidentNumber, Resources.Name AS Name
FROM Equipment
INNER JOIN Resources ON Equipment.ResourceID = Resources.ResourceID
INNER JOIN Incidents ON Resources.IncidentID = Incidents.IncidentID
LEFT OUTER JOIN L_Kind ON Resources.KindCode = L_Kind.KindCode;

CREATE VIEW qrySelectPersonnel AS
SELECT Resources.RequestNumber AS RequestNumber, Persons.PersonID AS PersonID, Persons.ResourceID AS ResourceID,
       Resources.ResourceID AS RResourceID, Persons.FirstName AS FirstName, Persons.LastName AS LastName,
       Persons.MailAddr1 AS MailAddr1, Persons.MailAddr2 AS MailAddr2, Persons.City AS City,
       Persons.State AS State, Persons.ZipCode AS ZipCode,
       CASE WHEN length(Persons.SSN) = 9
            THEN substr(Persons.SSN, 1, 3) || '-' || substr(Persons.SSN, 4, 2) || '-' || substr(Persons.SSN, 6, 4)
            ELSE Persons.SSN END AS fSSN,
       AccountingCodes.AccountingCode AS AccountingCode, Resources.IncidentID AS IncidentID
FROM Persons
INNER JOIN Resources ON Persons.ResourceID = Resources.ResourceID
LEFT OUTER JOIN AccountingCodes ON Persons.AccountingID = AccountingCodes.AccountingID;
