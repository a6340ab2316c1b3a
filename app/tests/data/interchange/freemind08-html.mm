<map version="0.8.0">
<!-- To view this file, download free mind mapping software FreeMind from http://freemind.sourceforge.net -->
<node COLOR="#000000" ID="Freemind_Link_1" TEXT="&#x9879;&#x76ee;&#x8ba1;&#x5212;">
<font NAME="SansSerif" SIZE="20"/>
<hook NAME="accessories/plugins/AutomaticLayout.properties"/>
<node COLOR="#0033ff" FOLDED="true" ID="Freemind_Link_2" POSITION="right" TEXT="&lt;html&gt;&lt;head&gt;&lt;style&gt;p {margin: 0}&lt;/style&gt;&lt;/head&gt;&lt;body&gt;&lt;p&gt;First &amp;amp; &lt;b&gt;bold&lt;/b&gt;&lt;/p&gt;&lt;p&gt;second line&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;">
<edge COLOR="#ff0000" WIDTH="4"/>
<font BOLD="true" NAME="SansSerif" SIZE="14"/>
<icon BUILTIN="idea"/>
<icon BUILTIN="help"/>
<node ID="Freemind_Link_3" TEXT="hidden child"/>
<node ID="Freemind_Link_4" TEXT="&lt;b&gt;not html&lt;/b&gt;"/>
</node>
<node BACKGROUND_COLOR="#ffff00" ID="Freemind_Link_5" POSITION="left" TEXT="left side">
<edge WIDTH="thin"/>
<font ITALIC="true" NAME="SansSerif" SIZE="12"/>
<hook NAME="accessories/plugins/NodeNote.properties">
<text>a note</text>
</hook>
<arrowlink DESTINATION="Freemind_Link_3" ENDARROW="Default" STARTARROW="None"/>
<arrowlink DESTINATION="Freemind_Link_404" ENDARROW="Default" STARTARROW="None"/>
<node ID="Freemind_Link_6" TEXT=""/>
</node>
</node>
</map>
