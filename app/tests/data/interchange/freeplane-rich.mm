<map version="freeplane 1.7.0">
<!--To view this file, download free mind mapping software Freeplane from http://freeplane.sourceforge.net -->
<node LOCALIZED_TEXT="new_mindmap" FOLDED="false" ID="ID_root">
<edge COLOR="#808080" WIDTH="2"/>
<node TEXT="Notes and icons" POSITION="right" ID="ID_a" FOLDED="false">
<edge COLOR="#ff0000"/>
<icon BUILTIN="full-1"/>
<icon BUILTIN="button_ok"/>
<icon BUILTIN="flag-green"/>
<icon BUILTIN="yes"/>
<richcontent TYPE="NOTE"><html><head></head><body><p>First paragraph</p><p>second &amp; <b>bold</b><br/>after a break</p></body></html></richcontent>
<attribute NAME="owner" VALUE="Ana"/>
<attribute NAME="owner" VALUE="Bo"/>
<node TEXT="inherits the red edge" ID="ID_a1" LINK="#ID_b"/>
</node>
<node TEXT="Picture by hook" POSITION="left" ID="ID_b" LINK="https://example.org/page">
<hook URI="rich-pictures/red.png" SIZE="0.5" NAME="ExternalObject"/>
<arrowlink DESTINATION="ID_a" MIDDLE_LABEL="depends on" ENDARROW="Default" STARTARROW="None"/>
</node>
<node POSITION="left" ID="ID_c">
<richcontent TYPE="NODE"><html><head></head><body><p>Picture in HTML</p><p><img src="rich-pictures/green%20pic.png" width="10" height="10"/></p></body></html></richcontent>
</node>
<node TEXT="Picture that is not there" POSITION="right" ID="ID_d">
<hook URI="rich-pictures/missing.png" SIZE="1.0" NAME="ExternalObject"/>
</node>
<node TEXT="&lt;html&gt; is plain here" POSITION="right" ID="ID_e"/>
</node>
</map>
