<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk_UA">
<context>
    <name>HidDevice</name>
    <message>
        <source>access denied or device busy</source>
        <translation>доступ заборонено або пристрій зайнятий</translation>
    </message>
    <message>
        <source>Writing to the device failed.</source>
        <translation>Не вдалося записати в пристрій.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Файл прошивки закороткий.</translation>
    </message>
    <message>
        <source>Device not found.</source>
        <translation>Пристрій не знайдено.</translation>
    </message>
    <message>
        <source>The device could not be switched into its bootloader: %1</source>
        <translation>Не вдалося перевести пристрій у завантажувач: %1</translation>
    </message>
    <message>
        <source>The bootloader did not appear.</source>
        <translation>Завантажувач не з'явився.</translation>
    </message>
    <message>
        <source>Bootloader returns ERROR.</source>
        <translation>Завантажувач повернув ПОМИЛКУ.</translation>
    </message>
    <message>
        <source>Firmware file cannot be read.</source>
        <translation>Файл прошивки неможливо прочитати.</translation>
    </message>
    <message>
        <source>The bootloader did not confirm the firmware.</source>
        <translation>Завантажувач не підтвердив прошивку.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>TOVRI Logger</source>
        <translation>Реєстратор TOVRI</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Панель інструментів</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Стан</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Керування</translation>
    </message>
    <message>
        <source>Attention! The current has exceeded 1A.</source>
        <translation>Увага! Струм перевищив 1 А.</translation>
    </message>
    <message>
        <source>A new software version is available. Go to Settings to update.</source>
        <translation>Доступна нова версія програми. Оновіть її в Налаштуваннях.</translation>
    </message>
    <message>
        <source>A new firmware version is available. Go to Settings to update.</source>
        <translation>Доступна нова версія прошивки. Оновіть її в Налаштуваннях.</translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Час: </translation>
    </message>
    <message>
        <source>Time, sec: </source>
        <translation>Час, с: </translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Зберегти</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Відкрити</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вигляд</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Налаштування</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Показати </translation>
    </message>
    <message>
        <source>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</source>
        <translation>TOVRI показує частину запису, тривалість якої не перевищує вказану кількість секунд</translation>
    </message>
    <message>
        <source>Custom: </source>
        <translation>Власний: </translation>
    </message>
    <message>
        <source>sec</source>
        <translation>с</translation>
    </message>
    <message>
        <source>Show Report</source>
        <translation>Показати звіт</translation>
    </message>
    <message>
        <source>Hide Markers</source>
        <translation>Сховати маркери</translation>
    </message>
    <message>
        <source>Show Markers</source>
        <translation>Показати маркери</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
    </message>
    <message>
        <source>Measuring time,sec </source>
        <translation>Час вимірювання, с </translation>
    </message>
    <message>
        <source>Stop measurements after the specified number of seconds</source>
        <translation>Зупинити вимірювання через вказану кількість секунд</translation>
    </message>
    <message>
        <source>Hide Report</source>
        <translation>Сховати звіт</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>Time, sec</source>
        <translation>Час, с</translation>
    </message>
    <message>
        <source>FAILED to start measuring: </source>
        <translation>НЕ ВДАЛОСЯ почати вимірювання: </translation>
    </message>
    <message>
        <source>Device connected</source>
        <translation>Пристрій підключено</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Пристрій відключено</translation>
    </message>
    <message>
        <source>The device was found but cannot be opened: %1</source>
        <translation>Пристрій знайдено, але його неможливо відкрити: %1</translation>
    </message>
    <message>
        <source>Capture </source>
        <translation>Запис </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>%1 is not saved. Want to save it before closing?</source>
        <translation>%1 не збережено. Зберегти перед закриттям?</translation>
    </message>
    <message>
        <source>Close tabs to the left</source>
        <translation>Закрити вкладки ліворуч</translation>
    </message>
    <message>
        <source>Close tabs to the right</source>
        <translation>Закрити вкладки праворуч</translation>
    </message>
    <message>
        <source>Close all tabs</source>
        <translation>Закрити всі вкладки</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Can&apos;t launch</source>
        <translation>Неможливо запустити</translation>
    </message>
    <message>
        <source>Instance of the TOVRI already running. Terminate it please.</source>
        <translation>TOVRI вже запущено. Будь ласка, завершіть його.</translation>
    </message>
</context>
</TS>
