<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
<channel>
<title>Tallowmere News</title>
<link>http://www.tallowmere.example/</link>
<description>News from Tallowmere and the Mere coast</description>
<language>en-gb</language>
<lastBuildDate>Mon, 07 Dec 2026 08:20:00 GMT</lastBuildDate>
<item>
<title>Harbour footbridge reopens after winter repairs</title>
<link>http://www.tallowmere.example/news/harbour-footbridge-reopens.php?id=4099</link>
<author>Ada Lindqvist</author>
<pubDate>Mon, 07 Dec 2026 08:15:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4099</guid>
</item>
<item>
<title>Council approves budget for roads &amp; lighting</title>
<link>http://www.tallowmere.example/news/council-budget-roads-lighting.php?id=4098</link>
<author>Tomas Greer</author>
<pubDate>Mon, 07 Dec 2026 07:40:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4098</guid>
</item>
<item>
<title><![CDATA[Fish & chips stall wins regional award]]></title>
<link>http://www.tallowmere.example/news/fish-chips-award.php?id=4097</link>
<author>Mira Okafor</author>
<pubDate>Mon, 07 Dec 2026 06:55:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4097</guid>
</item>
<item>
<title>Café Müller marks fifty years on the Quay</title>
<link>http://www.tallowmere.example/news/cafe-muller-fifty-years.php?id=4096</link>
<author>Ada Lindqvist</author>
<pubDate>Sun, 06 Dec 2026 18:20:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4096</guid>
</item>
<item>
<title>Sister-city delegation arrives from 東京</title>
<link>http://www.tallowmere.example/news/sister-city-tokyo.php?id=4095</link>
<author>Hiro Tanaka</author>
<pubDate>Sun, 06 Dec 2026 16:05:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4095</guid>
</item>
<item>
<title>Rowing club tops the league for a third season</title>
<link>http://www.tallowmere.example/news/rowing-club-league.php?id=4094</link>
<author>Sam Pryce</author>
<pubDate>Sun, 06 Dec 2026 14:30:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4094</guid>
</item>
<item>
<title><![CDATA[Q&A: what the new bus timetable means for you]]></title>
<link>http://www.tallowmere.example/news/bus-timetable-qa.php?id=4093</link>
<author>Tomas Greer</author>
<pubDate>Sun, 06 Dec 2026 11:10:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4093</guid>
</item>
<item>
<title>Library extends opening hours through January</title>
<link>http://www.tallowmere.example/news/library-opening-hours.php?id=4092</link>
<author>Nell Ashby</author>
<pubDate>Sat, 05 Dec 2026 17:45:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4092</guid>
</item>
<item>
<title>Choir from Москва to sing at the winter concert</title>
<link>http://www.tallowmere.example/news/choir-moscow-winter-concert.php?id=4091</link>
<author>Irina Volkova</author>
<pubDate>Sat, 05 Dec 2026 15:00:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4091</guid>
</item>
<item>
<title>Storm warning: high tides expected on Tuesday</title>
<link>http://www.tallowmere.example/news/storm-warning-high-tides.php?id=4090</link>
<author>Met Desk</author>
<pubDate>Sat, 05 Dec 2026 12:25:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4090</guid>
</item>
<item>
<title>Market square lights switched on by local pupils</title>
<link>http://www.tallowmere.example/news/market-square-lights.php?id=4089</link>
<author>Mira Okafor</author>
<pubDate>Fri, 04 Dec 2026 19:40:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4089</guid>
</item>
<item>
<title>Arts &amp; crafts fair returns to the Corn Exchange</title>
<link>http://www.tallowmere.example/news/arts-crafts-fair.php?id=4088</link>
<author>Nell Ashby</author>
<pubDate>Fri, 04 Dec 2026 16:15:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4088</guid>
</item>
<item>
<title>New ferry timetable links Tallowmere and São Brás</title>
<link>http://www.tallowmere.example/news/ferry-timetable-sao-bras.php?id=4087</link>
<author>Sam Pryce</author>
<pubDate>Fri, 04 Dec 2026 10:50:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4087</guid>
</item>
<item>
<title>Planning inquiry into the eastern bypass opens</title>
<link>http://www.tallowmere.example/news/eastern-bypass-inquiry.php?id=4086</link>
<author>Tomas Greer</author>
<pubDate>Thu, 03 Dec 2026 18:05:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4086</guid>
</item>
<item>
<title><![CDATA[Review: "The Lighthouse Keeper" at the Playhouse]]></title>
<link>http://www.tallowmere.example/news/review-lighthouse-keeper.php?id=4085</link>
<author>Eloise Brandt</author>
<pubDate>Thu, 03 Dec 2026 14:35:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4085</guid>
</item>
<item>
<title>Allotment society reports record pumpkin harvest</title>
<link>http://www.tallowmere.example/news/allotment-pumpkin-harvest.php?id=4084</link>
<author>Ada Lindqvist</author>
<pubDate>Thu, 03 Dec 2026 09:20:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4084</guid>
</item>
<item>
<title>Zürich firm to open engineering office by the marina</title>
<link>http://www.tallowmere.example/news/zurich-firm-marina-office.php?id=4083</link>
<author>Felix Roth</author>
<pubDate>Wed, 02 Dec 2026 17:00:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4083</guid>
</item>
<item>
<title>Volunteers clear three tonnes of litter from the shore</title>
<link>http://www.tallowmere.example/news/shore-litter-clearance.php?id=4082</link>
<author>Mira Okafor</author>
<pubDate>Wed, 02 Dec 2026 13:45:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4082</guid>
</item>
<item>
<title>Hospital trust names new chief executive</title>
<link>http://www.tallowmere.example/news/hospital-chief-executive.php?id=4081</link>
<author>Nell Ashby</author>
<pubDate>Wed, 02 Dec 2026 08:30:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4081</guid>
</item>
<item>
<title>Smith &amp; Daughters bakery expands to a second shop</title>
<link>http://www.tallowmere.example/news/smith-daughters-bakery.php?id=4080</link>
<author>Sam Pryce</author>
<pubDate>Tue, 01 Dec 2026 16:40:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4080</guid>
</item>
<item>
<title>Crème brûlée contest draws a record field</title>
<link>http://www.tallowmere.example/news/creme-brulee-contest.php?id=4079</link>
<author>Eloise Brandt</author>
<pubDate>Tue, 01 Dec 2026 12:05:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4079</guid>
</item>
<item>
<title>Heritage railway unveils restored 1920s carriage</title>
<link>http://www.tallowmere.example/news/heritage-railway-carriage.php?id=4078</link>
<author>Felix Roth</author>
<pubDate>Tue, 01 Dec 2026 09:55:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4078</guid>
</item>
<item>
<title>School results: Tallowmere Academy climbs the tables</title>
<link>http://www.tallowmere.example/news/academy-results.php?id=4077</link>
<author>Tomas Greer</author>
<pubDate>Mon, 30 Nov 2026 18:10:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4077</guid>
</item>
<item>
<title><![CDATA[Night-time roadworks on Mere Road <until Friday>]]></title>
<link>http://www.tallowmere.example/news/mere-road-roadworks.php?id=4076</link>
<author>Roads Desk</author>
<pubDate>Mon, 30 Nov 2026 15:25:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4076</guid>
</item>
<item>
<title>Kraków students join the harbour clean-up week</title>
<link>http://www.tallowmere.example/news/krakow-students-clean-up.php?id=4075</link>
<author>Irina Volkova</author>
<pubDate>Mon, 30 Nov 2026 11:00:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4075</guid>
</item>
<item>
<title>Lifeboat crew called out twice in one night</title>
<link>http://www.tallowmere.example/news/lifeboat-two-callouts.php?id=4074</link>
<author>Sam Pryce</author>
<pubDate>Sun, 29 Nov 2026 20:35:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4074</guid>
</item>
<item>
<title>Farmers' market moves indoors for the winter</title>
<link>http://www.tallowmere.example/news/farmers-market-indoors.php?id=4073</link>
<author>Nell Ashby</author>
<pubDate>Sun, 29 Nov 2026 13:15:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4073</guid>
</item>
<item>
<title>Local author's novel shortlisted for national prize</title>
<link>http://www.tallowmere.example/news/novel-shortlisted.php?id=4072</link>
<author>Eloise Brandt</author>
<pubDate>Sat, 28 Nov 2026 17:50:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4072</guid>
</item>
<item>
<title>Wind farm survey boats spotted off the headland</title>
<link>http://www.tallowmere.example/news/wind-farm-survey.php?id=4071</link>
<author>Felix Roth</author>
<pubDate>Sat, 28 Nov 2026 10:05:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4071</guid>
</item>
<item>
<title>Museum opens gallery of 北海道 woodblock prints</title>
<link>http://www.tallowmere.example/news/museum-woodblock-prints.php?id=4070</link>
<author>Hiro Tanaka</author>
<pubDate>Fri, 27 Nov 2026 16:30:00 GMT</pubDate>
<guid isPermaLink="false">tallowmere-news-4070</guid>
</item>
</channel>
</rss>
