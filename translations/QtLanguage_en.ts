<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>HidDevice</name>
    <message>
        <source>access denied or device busy</source>
        <translation>access denied or device busy</translation>
    </message>
    <message>
        <source>Writing to the device failed.</source>
        <translation>Writing to the device failed.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Firmware file too short.</translation>
    </message>
    <message>
        <source>Device not found.</source>
        <translation>Device not found.</translation>
    </message>
    <message>
        <source>The device could not be switched into its bootloader: %1</source>
        <translation>The device could not be switched into its bootloader: %1</translation>
    </message>
    <message>
        <source>The bootloader did not appear.</source>
        <translation>The bootloader did not appear.</translation>
    </message>
    <message>
        <source>Bootloader returns ERROR.</source>
        <translation>Bootloader returns ERROR.</translation>
    </message>
    <message>
        <source>Firmware file cannot be read.</source>
        <translation>Firmware file cannot be read.</translation>
    </message>
    <message>
        <source>The bootloader did not confirm the firmware.</source>
        <translation>The bootloader did not confirm the firmware.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>TOVRI Logger</source>
        <translation>TOVRI Logger</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>Attention! The current has exceeded 1A.</source>
        <translation>Attention! The current has exceeded 1A.</translation>
    </message>
    <message>
        <source>A new software version is available. Go to Settings to update.</source>
        <translation>A new software version is available. Go to Settings to update.</translation>
    </message>
    <message>
        <source>A new firmware version is available. Go to Settings to update.</source>
        <translation>A new firmware version is available. Go to Settings to update.</translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>Time, sec: </source>
        <translation>Time, sec: </translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Show </translation>
    </message>
    <message>
        <source>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</source>
        <translation>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</translation>
    </message>
    <message>
        <source>Custom: </source>
        <translation>Custom: </translation>
    </message>
    <message>
        <source>sec</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>Show Report</source>
        <translation>Show Report</translation>
    </message>
    <message>
        <source>Hide Markers</source>
        <translation>Hide Markers</translation>
    </message>
    <message>
        <source>Show Markers</source>
        <translation>Show Markers</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>Measuring time,sec </source>
        <translation>Measuring time,sec </translation>
    </message>
    <message>
        <source>Stop measurements after the specified number of seconds</source>
        <translation>Stop measurements after the specified number of seconds</translation>
    </message>
    <message>
        <source>Hide Report</source>
        <translation>Hide Report</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Time, sec</source>
        <translation>Time, sec</translation>
    </message>
    <message>
        <source>FAILED to start measuring: </source>
        <translation>FAILED to start measuring: </translation>
    </message>
    <message>
        <source>Device connected</source>
        <translation>Device connected</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Device disconnected</translation>
    </message>
    <message>
        <source>The device was found but cannot be opened: %1</source>
        <translation>The device was found but cannot be opened: %1</translation>
    </message>
    <message>
        <source>Capture </source>
        <translation>Capture </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 is not saved. Want to save it before closing?</source>
        <translation>%1 is not saved. Want to save it before closing?</translation>
    </message>
    <message>
        <source>Close tabs to the left</source>
        <translation>Close tabs to the left</translation>
    </message>
    <message>
        <source>Close tabs to the right</source>
        <translation>Close tabs to the right</translation>
    </message>
    <message>
        <source>Close all tabs</source>
        <translation>Close all tabs</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Can&apos;t launch</source>
        <translation>Can&apos;t launch</translation>
    </message>
    <message>
        <source>Instance of the TOVRI already running. Terminate it please.</source>
        <translation>Instance of the TOVRI already running. Terminate it please.</translation>
    </message>
</context>
</TS>
