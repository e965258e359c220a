-- The empty league database at schema version 2.3.
-- Text columns compare without regard to case (the program registers a
-- Unicode-aware NOCASE collation).

CREATE TABLE Options (
    "Key"     VARCHAR(50) COLLATE NOCASE UNIQUE,
    BC1       VARCHAR(50) COLLATE NOCASE,
    BC2       VARCHAR(50) COLLATE NOCASE,
    TC        INTEGER,
    TFC       VARCHAR(50) COLLATE NOCASE,
    BFC       INTEGER,
    BB        INTEGER,
    TFN       VARCHAR(50) COLLATE NOCASE,
    TFS       SMALLINT,
    BFN       VARCHAR(50) COLLATE NOCASE,
    BFS       SMALLINT,
    Lines     BOOLEAN,
    Rookie1   CURRENCY DEFAULT 0,
    Rookie2   CURRENCY DEFAULT 0,
    Rookie3   CURRENCY DEFAULT 0,
    Challenge CURRENCY DEFAULT 0,
    Headache  CURRENCY DEFAULT 0,
    Pole      CURRENCY DEFAULT 0,
    Underdog  CURRENCY DEFAULT 0,
    Hard      CURRENCY DEFAULT 0
);

CREATE TABLE Division (
    ID              VARCHAR(5) COLLATE NOCASE PRIMARY KEY,
    Name            VARCHAR(50) COLLATE NOCASE,
    RecordID        INTEGER,
    Numbers         BOOLEAN,
    Brands          BOOLEAN,
    Teams           SMALLINT,
    Roty            BOOLEAN,
    Earnings        BOOLEAN,
    EarningsFile    VARCHAR(50) COLLATE NOCASE NOT NULL DEFAULT '',
    NonPoints       BOOLEAN,
    PointsID        VARCHAR(50) COLLATE NOCASE,
    PointSystem     SMALLINT,
    PointSystemFile VARCHAR(50) COLLATE NOCASE NOT NULL DEFAULT '',
    "Drop"          SMALLINT
);

CREATE TABLE Drivers (
    DriverID INTEGER PRIMARY KEY AUTOINCREMENT,
    OnlineID VARCHAR(50) COLLATE NOCASE,
    Name     VARCHAR(50) COLLATE NOCASE,
    "Number" VARCHAR(50) COLLATE NOCASE,
    Brand    VARCHAR(50) COLLATE NOCASE
);
CREATE INDEX Drivers_OnlineID ON Drivers(OnlineID);

CREATE TABLE Teams (
    TeamID    INTEGER PRIMARY KEY AUTOINCREMENT,
    Division  VARCHAR(5) COLLATE NOCASE,
    Team_Name VARCHAR(50) COLLATE NOCASE,
    Driver_1  INTEGER DEFAULT 0,
    Driver_2  INTEGER DEFAULT 0,
    Driver_3  INTEGER DEFAULT 0,
    Driver_4  INTEGER DEFAULT 0,
    Driver_5  INTEGER DEFAULT 0,
    Driver_6  INTEGER DEFAULT 0
);
CREATE INDEX Teams_Division ON Teams(Division);

CREATE TABLE Tracks (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    ShortName VARCHAR(50) COLLATE NOCASE,
    FullName  VARCHAR(50) COLLATE NOCASE,
    Miles     DOUBLE,
    "Type"    SMALLINT
);

CREATE TABLE Races (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    Division  VARCHAR(5) COLLATE NOCASE,
    RaceNo    VARCHAR(50) COLLATE NOCASE,
    Venue     VARCHAR(50) COLLATE NOCASE,
    RaceDate  VARCHAR(50) COLLATE NOCASE,
    Weather   VARCHAR(255) COLLATE NOCASE,
    QWeather  VARCHAR(255) COLLATE NOCASE,
    Flags     INTEGER,
    Flagsq    INTEGER,
    Changes   INTEGER,
    Leader    INTEGER,
    RaceName  VARCHAR(255) COLLATE NOCASE,
    Purse     CURRENCY,
    TrackID   INTEGER,
    Nonpoints BOOLEAN
);
CREATE INDEX Races_Division ON Races(Division);

CREATE TABLE Score (
    Division VARCHAR(5) COLLATE NOCASE,
    RaceID   INTEGER,
    Posi     DOUBLE,
    DriverID INTEGER,
    Interval VARCHAR(50) COLLATE NOCASE,
    Laps     INTEGER,
    Lead     INTEGER,
    Points   INTEGER,
    Finish   VARCHAR(50) COLLATE NOCASE,
    Team     INTEGER,
    Brand    VARCHAR(50) COLLATE NOCASE,
    Earnings CURRENCY,
    Bonus    CURRENCY,
    BonusAdd CURRENCY
);
CREATE INDEX Score_Race ON Score(RaceID, Posi);
-- By driver, then race: the pole winners find the winner's result line of
-- the race without reading all his results.
CREATE INDEX Score_Driver ON Score(DriverID, RaceID);

CREATE TABLE ScoreDrop (
    Division VARCHAR(5) COLLATE NOCASE,
    RaceID   INTEGER,
    Posi     DOUBLE,
    DriverID INTEGER,
    Interval VARCHAR(50) COLLATE NOCASE,
    Laps     INTEGER,
    Lead     INTEGER,
    Points   INTEGER,
    Finish   VARCHAR(50) COLLATE NOCASE,
    Team     INTEGER,
    Brand    VARCHAR(50) COLLATE NOCASE,
    Earnings CURRENCY,
    Bonus    CURRENCY,
    BonusAdd CURRENCY
);
CREATE INDEX ScoreDrop_Division ON ScoreDrop(Division, DriverID);
-- Joins from a race to its kept rows (the previous standings) go through
-- this one; without it they read every kept row once per race.
CREATE INDEX ScoreDrop_Race ON ScoreDrop(RaceID);

CREATE TABLE Qualify (
    RaceID   INTEGER,
    Pos      INTEGER,
    DriverID INTEGER,
    "Time"   VARCHAR(50) COLLATE NOCASE,
    Speed    VARCHAR(50) COLLATE NOCASE
);
-- A qualifying row is identified by race and driver; the average start of
-- the standings looks each kept result up by both.
CREATE INDEX Qualify_Race ON Qualify(RaceID, DriverID);

CREATE TABLE Rookies (
    Division VARCHAR(5) COLLATE NOCASE,
    DriverID INTEGER
);

CREATE TABLE Bonus (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    DivID    VARCHAR(5) COLLATE NOCASE,
    DriverID INTEGER,
    Bonus    CURRENCY
);

CREATE TABLE Penalties (
    Division VARCHAR(5) COLLATE NOCASE NOT NULL,
    RaceID   INTEGER NOT NULL,
    Posi     INTEGER NOT NULL,
    Points   INTEGER,
    Comment  VARCHAR(100) COLLATE NOCASE,
    PRIMARY KEY (Division, RaceID, Posi)
);

CREATE TABLE Damage (
    Division VARCHAR(5) COLLATE NOCASE,
    RaceID   INTEGER,
    Posi     INTEGER,
    Bodywork INTEGER,
    Engine   INTEGER,
    Other    INTEGER,
    Extra    INTEGER,
    Comment  VARCHAR(255) COLLATE NOCASE
);

CREATE TABLE Rates (
    Pos  INTEGER,
    Rate DOUBLE
);

CREATE TABLE TempTeams (
    Posi      DOUBLE,
    DriverID  INTEGER,
    Team_Name VARCHAR(50) COLLATE NOCASE,
    Points    INTEGER,
    Brand     VARCHAR(50) COLLATE NOCASE
);

-- Deleting a race takes its result rows with it; deleting a division takes
-- its races (and so their rows), teams, rookies and bonus amounts.
CREATE TRIGGER Races_Delete AFTER DELETE ON Races BEGIN
    DELETE FROM Score WHERE RaceID = OLD.ID;
    DELETE FROM ScoreDrop WHERE RaceID = OLD.ID;
    DELETE FROM Qualify WHERE RaceID = OLD.ID;
    DELETE FROM Damage WHERE RaceID = OLD.ID;
    DELETE FROM Penalties WHERE RaceID = OLD.ID;
END;

CREATE TRIGGER Division_Delete AFTER DELETE ON Division BEGIN
    DELETE FROM Races WHERE Division = OLD.ID;
    DELETE FROM Teams WHERE Division = OLD.ID;
    DELETE FROM Rookies WHERE Division = OLD.ID;
    DELETE FROM Bonus WHERE DivID = OLD.ID;
END;

INSERT INTO Options ("Key", BC1, BC2, TC, TFC, BFC, BB, TFN, TFS, BFN, BFS, Lines,
                     Rookie1, Rookie2, Rookie3, Challenge, Headache, Pole, Underdog, Hard)
VALUES ('1', '16777215', '16777215', 8388608, '16777215', 0, 16777215, 'Arial', 10, 'Arial', 10, 0,
        0, 0, 0, 0, 0, 0, 0, 0);
INSERT INTO Options ("Key", TFC) VALUES ('2', '2.3');
INSERT INTO Options ("Key", TFC, Lines) VALUES ('3', 'htm', 1);

-- Purse share per finishing position (percent); position 0 is unused and
-- the shares of positions 1 to 50 add up to 100.
INSERT INTO Rates (Pos, Rate) VALUES (0, 0);
INSERT INTO Rates (Pos, Rate) VALUES
    (1, 5.04),
    (2, 4.91),
    (3, 4.75),
    (4, 4.59),
    (5, 4.43),
    (6, 4.28),
    (7, 4.13),
    (8, 3.98),
    (9, 3.83),
    (10, 3.69),
    (11, 3.55),
    (12, 3.41),
    (13, 3.27),
    (14, 3.13),
    (15, 3.0),
    (16, 2.86),
    (17, 2.73),
    (18, 2.61),
    (19, 2.48),
    (20, 2.36),
    (21, 2.24),
    (22, 2.12),
    (23, 2.0),
    (24, 1.89),
    (25, 1.78),
    (26, 1.67),
    (27, 1.57),
    (28, 1.46),
    (29, 1.36),
    (30, 1.26),
    (31, 1.17),
    (32, 1.08),
    (33, 0.99),
    (34, 0.9),
    (35, 0.82),
    (36, 0.74),
    (37, 0.66),
    (38, 0.59),
    (39, 0.52),
    (40, 0.45),
    (41, 0.39),
    (42, 0.33),
    (43, 0.27),
    (44, 0.22),
    (45, 0.17),
    (46, 0.13),
    (47, 0.09),
    (48, 0.06),
    (49, 0.03),
    (50, 0.01);
