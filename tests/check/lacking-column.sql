CREATE TABLE `Prerequisites` (`Type` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL,
    `Destination` CHAR(255), `ValueName` CHAR(255), `Value` CHAR(72),
    `Order` SHORT NOT NULL
    PRIMARY KEY `Type`, `Name`);
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (10, 'CheckFileVersion', 'Windows Installer 3.1 or later',
    '[SystemFolder]msi.dll', 'FileVersion', '3.1');
