<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
<channel>
<title>Tallowmere News in Arabic</title>
<item>
<title>جسر المشاة في الميناء يعاد افتتاحه بعد إصلاحات الشتاء</title>
<link>http://www.tallowmere.example/ar/0</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:00:00 GMT</pubDate>
</item>
<item>
<title>المجلس يوافق على ميزانية الطرق والإنارة (2027)</title>
<link>http://www.tallowmere.example/ar/1</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:01:00 GMT</pubDate>
</item>
<item>
<title>كشك السمك يفوز بجائزة إقليمية للمرة الثالثة</title>
<link>http://www.tallowmere.example/ar/2</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:02:00 GMT</pubDate>
</item>
<item>
<title>مقهى على الرصيف يحتفل بمرور خمسين عاما</title>
<link>http://www.tallowmere.example/ar/3</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:03:00 GMT</pubDate>
</item>
<item>
<title>أمطار غزيرة متوقعة على الساحل نهاية الأسبوع</title>
<link>http://www.tallowmere.example/ar/4</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:04:00 GMT</pubDate>
</item>
<item>
<title>افتتاح مكتبة جديدة في وسط المدينة القديمة</title>
<link>http://www.tallowmere.example/ar/5</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:05:00 GMT</pubDate>
</item>
<item>
<title>فريق المدينة يتأهل إلى نهائي الكأس بعد فوز صعب</title>
<link>http://www.tallowmere.example/ar/6</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:06:00 GMT</pubDate>
</item>
<item>
<title>العبارات تعود إلى جدولها المعتاد بعد العاصفة</title>
<link>http://www.tallowmere.example/ar/7</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:07:00 GMT</pubDate>
</item>
<item>
<title>مهرجان الموسيقى يجذب آلاف الزوار إلى الميناء</title>
<link>http://www.tallowmere.example/ar/8</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:08:00 GMT</pubDate>
</item>
<item>
<title>تلاميذ المدارس يزرعون مئة شجرة على ضفاف البحيرة</title>
<link>http://www.tallowmere.example/ar/9</link>
<author>مكتب الأخبار</author>
<pubDate>Mon, 07 Dec 2026 08:09:00 GMT</pubDate>
</item>
</channel>
</rss>
