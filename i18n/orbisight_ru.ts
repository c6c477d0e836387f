<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Diagnostic</name>
    <message>
        <source>Unworded</source>
        <translation>{text}</translation>
    </message>
    <message>
        <source>NotAnEventOfTheStation</source>
        <translation>Каталог {folder} не является событием ночи станции: откройте его ночь в режиме фото.</translation>
    </message>
    <!-- the Diagnostic context ends here -->
</context>
</TS>
