-- Incident database, SQL Server form.
-- Same tables, columns and column order as sql/sqlite/schema.sql. Dates are DATE,
-- times of day DATETIME on 1899-12-30, money MONEY, flags BIT. Keys are plain
-- INT without identity: rows the program adds take their keys from
-- usp_getNextNumber, rows of the host system bring their own.
-- Run once on an empty database; batches are separated by GO.

SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

CREATE TABLE dbo.Incidents (
    IncidentID       INT NOT NULL PRIMARY KEY,
    IncidentName     VARCHAR(50) NULL,
    IncidentNumber   VARCHAR(20) NULL,
    StartDate        DATE NULL,
    IncidentLocation VARCHAR(50) NULL,
    IncidentState    VARCHAR(2) NULL
);

CREATE TABLE dbo.Resources (
    ResourceID     INT NOT NULL PRIMARY KEY,
    IncidentID     INT NULL REFERENCES dbo.Incidents (IncidentID),
    Name           VARCHAR(50) NULL,
    RequestNumber  VARCHAR(20) NULL,
    Collection     BIT NOT NULL DEFAULT 0,
    KindCode       VARCHAR(10) NULL,
    AssignDate     DATE NULL,
    ReleaseDate    DATE NULL,
    ReleaseTime    DATETIME NULL,
    RemarksOF286   VARCHAR(255) NULL
);
CREATE INDEX ixResourcesIncident ON dbo.Resources (IncidentID);

CREATE TABLE dbo.AccountingCodes (
    AccountingID   INT NOT NULL PRIMARY KEY,
    AccountingCode VARCHAR(20) NULL,
    IncidentID     INT NULL REFERENCES dbo.Incidents (IncidentID)
);
CREATE INDEX ixAccountingIncident ON dbo.AccountingCodes (IncidentID);

CREATE TABLE dbo.Persons (
    PersonID       INT NOT NULL PRIMARY KEY,
    ResourceID     INT NULL REFERENCES dbo.Resources (ResourceID),
    FirstName      VARCHAR(30) NULL,
    LastName       VARCHAR(30) NULL,
    SSN            VARCHAR(11) NULL,
    MailAddr1      VARCHAR(50) NULL,
    MailAddr2      VARCHAR(50) NULL,
    City           VARCHAR(30) NULL,
    State          VARCHAR(2) NULL,
    ZipCode        VARCHAR(10) NULL,
    InitEmployYN   VARCHAR(1) NULL,
    PointOfHire    VARCHAR(50) NULL,
    ReturnTravelYN VARCHAR(1) NULL,
    FedCode        VARCHAR(10) NULL,
    Remarks        VARCHAR(255) NULL,
    FaxPhone       VARCHAR(20) NULL,
    Phone          VARCHAR(20) NULL,
    AgencyCode     VARCHAR(10) NULL,
    PStatus        VARCHAR(1) NULL,
    KindCode       VARCHAR(10) NULL,
    Rate           MONEY NULL,
    AccountingID   INT NULL
);
CREATE INDEX ixPersonsResource ON dbo.Persons (ResourceID);

CREATE TABLE dbo.PersonsPost (
    PersonsPostID  INT NOT NULL PRIMARY KEY,
    PersonID       INT NULL REFERENCES dbo.Persons (PersonID),
    ActivityDT     DATE NULL,
    StartTime      DATETIME NULL,
    StopTime       DATETIME NULL,
    Hours          FLOAT NULL,
    KindCode       VARCHAR(10) NULL,
    PremiumCode    VARCHAR(4) NULL,
    Class          VARCHAR(4) NULL,
    Rate           MONEY NULL,
    AccountingID   INT NULL,
    Column288      SMALLINT NULL,
    RptOrder       SMALLINT NULL,
    FinalCol       BIT NOT NULL DEFAULT 0,
    InvoiceID      INT NULL DEFAULT 0
);
CREATE INDEX ixPersonsPostPerson ON dbo.PersonsPost (PersonID, ActivityDT);
CREATE INDEX ixPersonsPostInvoice ON dbo.PersonsPost (InvoiceID);

CREATE TABLE dbo.PersonsDebit (
    PersonsDebitID INT NOT NULL PRIMARY KEY,
    PersonID       INT NULL REFERENCES dbo.Persons (PersonID),
    ActivityDT     DATE NULL,
    Amt            MONEY NULL,
    Description    VARCHAR(50) NULL,
    InvoiceID      INT NULL DEFAULT 0
);
CREATE INDEX ixPersonsDebitPerson ON dbo.PersonsDebit (PersonID);

CREATE TABLE dbo.PersonsInvoices (
    PersonsInvoiceID INT NOT NULL PRIMARY KEY,
    PersonID         INT NULL REFERENCES dbo.Persons (PersonID),
    FirstDate        DATE NULL,
    LastDate         DATE NULL,
    InvoiceSuffix    VARCHAR(1) NULL,
    Original         SMALLINT NULL,
    Amount           INT NULL,
    Del              BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixPersonsInvoicesPerson ON dbo.PersonsInvoices (PersonID);

CREATE TABLE dbo.PersonsInvoicesReason (
    PersonsInvoicesReasonID INT NOT NULL PRIMARY KEY,
    PersonsInvoiceID        INT NULL REFERENCES dbo.PersonsInvoices (PersonsInvoiceID),
    Original                SMALLINT NULL,
    Reason                  VARCHAR(50) NULL
);

CREATE TABLE dbo.AdminOffice (
    AdminOfficeID INT NOT NULL PRIMARY KEY,
    Name          VARCHAR(50) NULL,
    Addr1         VARCHAR(50) NULL,
    Addr2         VARCHAR(50) NULL,
    City          VARCHAR(30) NULL,
    State         VARCHAR(2) NULL,
    Zip           VARCHAR(10) NULL
);

CREATE TABLE dbo.Contractor (
    ContractorID   INT NOT NULL PRIMARY KEY,
    IncidentID     INT NULL REFERENCES dbo.Incidents (IncidentID),
    ContractorNum  VARCHAR(20) NULL,
    ContractorName VARCHAR(50) NULL,
    Addr           VARCHAR(50) NULL,
    City           VARCHAR(30) NULL,
    State          VARCHAR(2) NULL,
    Zip            VARCHAR(10) NULL
);

CREATE TABLE dbo.Agreement (
    AgreementID   INT NOT NULL PRIMARY KEY,
    ContractorID  INT NULL REFERENCES dbo.Contractor (ContractorID),
    AdminOfficeID INT NULL REFERENCES dbo.AdminOffice (AdminOfficeID),
    AgreementNum  VARCHAR(30) NULL,
    PointOfHire   VARCHAR(50) NULL,
    BeginDt       DATE NULL,
    ExpDt         DATE NULL
);

CREATE TABLE dbo.Equipment (
    EquipmentID         INT NOT NULL PRIMARY KEY,
    AgreementID         INT NULL REFERENCES dbo.Agreement (AgreementID),
    ResourceID          INT NULL REFERENCES dbo.Resources (ResourceID),
    UniqueEquipmentName VARCHAR(50) NULL UNIQUE,
    Make                VARCHAR(30) NULL,
    Model               VARCHAR(30) NULL,
    GovtOperatorYN      VARCHAR(1) NULL,
    GovtSuppliesYN      VARCHAR(1) NULL,
    Withdrawn           VARCHAR(1) NULL
);

CREATE TABLE dbo.ContractorPost (
    ContractorPostID INT NOT NULL PRIMARY KEY,
    EquipmentID      INT NULL REFERENCES dbo.Equipment (EquipmentID),
    ActivityDT       DATE NULL,
    Units            FLOAT NULL,
    UOM              VARCHAR(10) NULL,
    Rate             MONEY NULL,
    Amt              MONEY NULL,
    SUnits           FLOAT NULL,
    SUOM             VARCHAR(10) NULL,
    SRate            MONEY NULL,
    SAmt             MONEY NULL,
    GuarAmt          MONEY NULL,
    AccountingID     INT NULL,
    InvoiceID        INT NOT NULL DEFAULT 0
);
CREATE INDEX ixContractorPostEquipment ON dbo.ContractorPost (EquipmentID, ActivityDT);

CREATE TABLE dbo.ContractorAdjustments (
    ContractorAdjustmentID INT NOT NULL PRIMARY KEY,
    ContractorID           INT NULL REFERENCES dbo.Contractor (ContractorID),
    EquipmentID            INT NULL REFERENCES dbo.Equipment (EquipmentID),
    ActivityDT             DATE NULL,
    Amt                    MONEY NULL,
    Description            VARCHAR(50) NULL,
    InvoiceID              INT NOT NULL DEFAULT 0
);
CREATE INDEX ixContractorAdjustmentsEquipment ON dbo.ContractorAdjustments (EquipmentID, ActivityDT);

CREATE TABLE dbo.EquipInvoices (
    EquipInvoiceID INT NOT NULL PRIMARY KEY,
    EquipmentID    INT NULL REFERENCES dbo.Equipment (EquipmentID),
    FirstDate      DATE NULL,
    LastDate       DATE NULL,
    InvoiceNumber  VARCHAR(40) NULL,
    InvoiceSuffix  VARCHAR(1) NULL,
    Amount         MONEY NULL,
    Del            BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixEquipInvoicesEquipment ON dbo.EquipInvoices (EquipmentID);

CREATE TABLE dbo.EquipInvoicesReason (
    EquipInvoiceReasonID INT NOT NULL PRIMARY KEY,
    EquipInvoiceID       INT NULL REFERENCES dbo.EquipInvoices (EquipInvoiceID),
    Original             SMALLINT NULL,
    Reason               VARCHAR(50) NULL
);

CREATE TABLE dbo.EquipmentPost (
    EquipmentPostID INT NOT NULL PRIMARY KEY,
    AgreementID     INT NULL REFERENCES dbo.Agreement (AgreementID),
    EquipmentID     INT NULL REFERENCES dbo.Equipment (EquipmentID),
    ActivityDT      DATE NULL,
    UOM             VARCHAR(10) NULL,
    Units           FLOAT NULL,
    Rate            MONEY NULL,
    Amt             MONEY NULL,
    GuarAmt         MONEY NULL
);

CREATE TABLE dbo.ContractorDebit (
    ContractorDebitID INT NOT NULL PRIMARY KEY,
    ContractorID      INT NULL REFERENCES dbo.Contractor (ContractorID),
    EquipmentID       INT NULL REFERENCES dbo.Equipment (EquipmentID),
    AMT               MONEY NULL
);

CREATE TABLE dbo.L_Kind (
    KindCode VARCHAR(10) NOT NULL PRIMARY KEY,
    KindDesc VARCHAR(50) NULL
);

CREATE TABLE dbo.L_Time (
    Time VARCHAR(4) NOT NULL PRIMARY KEY
);

-- Scratch rows of computed reports; the column order is binding (writers fill
-- columns by position).
CREATE TABLE dbo.ReportRecords (
    ReportRun     INT NOT NULL,
    IncidentID    INT NULL,
    PersonID      INT NULL,
    KindCode      VARCHAR(10) NULL,
    RequestNumber VARCHAR(20) NULL,
    ActivityDT    DATE NULL,
    TotalDayHrs   FLOAT NULL,
    ExcessHrs     FLOAT NULL,
    HR20in24      BIT NOT NULL DEFAULT 0,
    HR36in48      BIT NOT NULL DEFAULT 0
);
CREATE INDEX ixReportRecordsRun ON dbo.ReportRecords (ReportRun);

-- One counter per table name for usp_getNextNumber: the last key handed out.
CREATE TABLE dbo.KeyCounters (
    TableName  VARCHAR(40) NOT NULL PRIMARY KEY,
    LastNumber INT NOT NULL
);
GO

CREATE VIEW dbo.qryEquipMgmt AS
SELECT Resources.KindCode AS KindCode, L_Kind.KindDesc AS KindDesc, Resources.IncidentID AS IncidentID,
       Resources.RequestNumber AS RequestNumber, Equipment.UniqueEquipmentName AS UniqueEquipmentName,
       Resources.AssignDate AS AssignDate, Incidents.IncidentName AS IncidentName,
       Incidents.IncidentNumber AS IncidentNumber, Resources.Name AS Name
FROM dbo.Equipment
INNER JOIN dbo.Resources ON Equipment.ResourceID = Resources.ResourceID
INNER JOIN dbo.Incidents ON Resources.IncidentID = Incidents.IncidentID
LEFT OUTER JOIN dbo.L_Kind ON Resources.KindCode = L_Kind.KindCode;
GO

-- fSSN is the SSN as ###-##-#### when it is stored as nine characters, else as stored.
CREATE VIEW dbo.qrySelectPersonnel AS
SELECT Resources.RequestNumber AS RequestNumber, Persons.PersonID AS PersonID, Persons.ResourceID AS ResourceID,
       Resources.ResourceID AS RResourceID, Persons.FirstName AS FirstName, Persons.LastName AS LastName,
       Persons.MailAddr1 AS MailAddr1, Persons.MailAddr2 AS MailAddr2, Persons.City AS City,
       Persons.State AS State, Persons.ZipCode AS ZipCode,
       CASE WHEN LEN(Persons.SSN) = 9
            THEN SUBSTRING(Persons.SSN, 1, 3) + '-' + SUBSTRING(Persons.SSN, 4, 2) + '-' + SUBSTRING(Persons.SSN, 6, 4)
            ELSE Persons.SSN END AS fSSN,
       AccountingCodes.AccountingCode AS AccountingCode, Resources.IncidentID AS IncidentID
FROM dbo.Persons
INNER JOIN dbo.Resources ON Persons.ResourceID = Resources.ResourceID
LEFT OUTER JOIN dbo.AccountingCodes ON Persons.AccountingID = AccountingCodes.AccountingID;
GO

-- Sortable form of a request number, for ORDER BY: the text trimmed and
-- upper-cased, with every run of decimal digits left-padded with zeros to six
-- digits (longer runs are kept as they are). Plain text order of the result is
-- then natural order: C-5 -> C-000005, C-12 -> C-000012, C-12.1 ->
-- C-000012.000001, so C-5 < C-12 < C-12.1. Null gives Null. The SQLite engine
-- registers a function with the same rule.
CREATE FUNCTION dbo.f_SortRequestNumber (@RequestNumber VARCHAR(20))
RETURNS VARCHAR(120)
AS
BEGIN
    IF @RequestNumber IS NULL RETURN NULL;

    DECLARE @text VARCHAR(20) = UPPER(LTRIM(RTRIM(@RequestNumber)));
    DECLARE @length INT = LEN(@text);
    DECLARE @result VARCHAR(120) = '';
    DECLARE @digits VARCHAR(20) = '';
    DECLARE @i INT = 1;
    DECLARE @c VARCHAR(1);

    WHILE @i <= @length + 1
    BEGIN
        -- One step past the end flushes a trailing run of digits.
        SET @c = CASE WHEN @i <= @length THEN SUBSTRING(@text, @i, 1) ELSE '' END;
        IF @c LIKE '[0-9]'
            SET @digits = @digits + @c;
        ELSE
        BEGIN
            IF LEN(@digits) > 0
            BEGIN
                IF LEN(@digits) < 6 SET @digits = REPLICATE('0', 6 - LEN(@digits)) + @digits;
                SET @result = @result + @digits;
                SET @digits = '';
            END;
            SET @result = @result + @c;
        END;
        SET @i = @i + 1;
    END;
    RETURN @result;
END;
GO

-- Next key for a table: @nextnumber = one more than the larger of the last key
-- handed out for @tablename and the table's largest key, read on every call
-- from @fieldname when that is one of its columns, else from its primary key,
-- else from its first column when that holds integers (the run number of
-- ReportRecords); a table with none of these counts from its counter alone.
-- Rows the host system inserts with keys of its own are thus never handed out
-- again. There is one counter per table name, whatever field name is passed.
-- The table name is checked against the database's own tables and quoted
-- before it is used in dynamic SQL.
CREATE PROCEDURE dbo.usp_getNextNumber
    @tablename  VARCHAR(40),
    @fieldname  VARCHAR(40),
    @nextnumber INT OUTPUT
AS
BEGIN
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @objectId INT = OBJECT_ID(N'dbo.' + QUOTENAME(@tablename), N'U');
    IF @objectId IS NULL
    BEGIN
        RAISERROR(N'usp_getNextNumber: there is no table named %s.', 16, 1, @tablename);
        RETURN 1;
    END;

    DECLARE @column SYSNAME = NULL;
    DECLARE @last INT = NULL;
    DECLARE @largest INT = 0;
    DECLARE @sql NVARCHAR(400);

    SELECT @column = c.name
      FROM sys.columns c
     WHERE c.object_id = @objectId AND c.name = @fieldname;

    IF @column IS NULL
        SELECT TOP (1) @column = c.name
          FROM sys.indexes i
          JOIN sys.index_columns ic ON ic.object_id = i.object_id AND ic.index_id = i.index_id
          JOIN sys.columns c ON c.object_id = ic.object_id AND c.column_id = ic.column_id
         WHERE i.object_id = @objectId AND i.is_primary_key = 1
         ORDER BY ic.key_ordinal;

    IF @column IS NULL
        SELECT @column = c.name
          FROM sys.columns c
         WHERE c.object_id = @objectId AND c.column_id = 1
           AND TYPE_NAME(c.system_type_id) IN ('int', 'smallint', 'tinyint', 'bigint');

    BEGIN TRANSACTION;

    -- The counter's row stays locked to the end of the transaction; UPDLOCK and
    -- HOLDLOCK also lock the gap of a missing row, so two sessions asking for
    -- the same table wait for each other, also for a new table's first key.
    SELECT @last = LastNumber
      FROM dbo.KeyCounters WITH (UPDLOCK, HOLDLOCK)
     WHERE TableName = @tablename;

    IF @column IS NOT NULL
    BEGIN
        SET @sql = N'SELECT @largest = ISNULL(MAX(' + QUOTENAME(@column) + N'), 0) FROM dbo.'
                 + QUOTENAME(OBJECT_NAME(@objectId));
        EXEC sp_executesql @sql, N'@largest INT OUTPUT', @largest = @largest OUTPUT;
    END;

    SET @nextnumber = CASE WHEN ISNULL(@last, 0) > @largest THEN ISNULL(@last, 0) ELSE @largest END + 1;

    IF @last IS NULL
        INSERT INTO dbo.KeyCounters (TableName, LastNumber) VALUES (@tablename, @nextnumber);
    ELSE
        UPDATE dbo.KeyCounters SET LastNumber = @nextnumber WHERE TableName = @tablename;

    COMMIT TRANSACTION;
    RETURN 0;
END;
GO
