<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
<channel>
<title>Tallowmere News in the readers' languages</title>
<link>http://www.tallowmere.example/world/</link>
<description>Headlines of the Mere coast as our readers write them</description>
<lastBuildDate>Mon, 07 Dec 2026 08:20:00 GMT</lastBuildDate>
<item>
<title>جسر المشاة في الميناء يعاد افتتاحه بعد إصلاحات الشتاء</title>
<link>http://www.tallowmere.example/world/ar/harbour-footbridge.php?id=4099</link>
<author>ليلى حداد</author>
<pubDate>Mon, 07 Dec 2026 08:15:00 GMT</pubDate>
</item>
<item>
<title>המועצה מאשרת תקציב לכבישים ולתאורה (2027)</title>
<link>http://www.tallowmere.example/world/he/council-budget.php?id=4098</link>
<author>נועה לוי</author>
<pubDate>Mon, 07 Dec 2026 07:40:00 GMT</pubDate>
</item>
<item>
<title>Report: שלום עולם festival returns to the Quay (2026)</title>
<link>http://www.tallowmere.example/world/en/festival-returns.php?id=4097</link>
<author>Ada Lindqvist</author>
<pubDate>Mon, 07 Dec 2026 07:10:00 GMT</pubDate>
</item>
<item>
<title>बंदरगाह का पुल सर्दियों की मरम्मत के बाद फिर खुला</title>
<link>http://www.tallowmere.example/world/hi/harbour-footbridge.php?id=4096</link>
<author>अनीता शर्मा</author>
<pubDate>Mon, 07 Dec 2026 06:55:00 GMT</pubDate>
</item>
<item>
<title>สะพานคนเดินที่ท่าเรือเปิดอีกครั้งหลังการซ่อมแซม</title>
<link>http://www.tallowmere.example/world/th/harbour-footbridge.php?id=4095</link>
<author>สมชาย ใจดี</author>
<pubDate>Mon, 07 Dec 2026 06:30:00 GMT</pubDate>
</item>
<item>
<title>港口人行桥冬季维修后重新开放</title>
<link>http://www.tallowmere.example/world/zh/harbour-footbridge.php?id=4094</link>
<author>王丽</author>
<pubDate>Mon, 07 Dec 2026 06:05:00 GMT</pubDate>
</item>
<item>
<title>港の歩道橋、冬の修理を終えて再開</title>
<link>http://www.tallowmere.example/world/ja/harbour-footbridge.php?id=4093</link>
<author>佐藤 由美</author>
<pubDate>Mon, 07 Dec 2026 05:40:00 GMT</pubDate>
</item>
<item>
<title>항구 보행교, 겨울 보수 마치고 다시 열려</title>
<link>http://www.tallowmere.example/world/ko/harbour-footbridge.php?id=4092</link>
<author>김민준</author>
<pubDate>Mon, 07 Dec 2026 05:15:00 GMT</pubDate>
</item>
<item>
<title>Café Müller marks fifty years on the Quay 👩‍🍳☕</title>
<link>http://www.tallowmere.example/world/en/cafe-muller.php?id=4091</link>
<author>Tomas Greer</author>
<pubDate>Sun, 06 Dec 2026 18:20:00 GMT</pubDate>
</item>
</channel>
</rss>
