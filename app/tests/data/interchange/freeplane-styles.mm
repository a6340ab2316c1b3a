<map version="freeplane 1.9.13">
<!--To view this file, download free mind mapping software Freeplane from https://www.freeplane.org -->
<node TEXT="Root" FOLDED="false" ID="ID_1090958577" CREATED="1409300609620" MODIFIED="1409300609620"><hook NAME="MapStyle" background="#f9f9f8">
    <properties show_icon_for_attributes="true" fit_to_viewport="false"/>
<map_styles>
<stylenode LOCALIZED_TEXT="styles.root_node" STYLE="oval" UNIFORM_SHAPE="true">
<font SIZE="24"/>
<stylenode LOCALIZED_TEXT="styles.predefined" POSITION="right" STYLE="bubble">
<stylenode LOCALIZED_TEXT="default" ICON_SIZE="12 pt" COLOR="#000000" STYLE="fork">
<font NAME="SansSerif" SIZE="10" BOLD="false" ITALIC="false"/>
</stylenode>
<node TEXT="a node inside the styles"/>
</stylenode>
</stylenode>
</map_styles>
</hook>
<hook NAME="AutomaticEdgeColor" COUNTER="2" RULE="ON_BRANCH_CREATION"/>
<node POSITION="right" ID="ID_1" CREATED="1" MODIFIED="2" COLOR="#0000ff"><richcontent TYPE="NODE">

<html>
  <head>

  </head>
  <body>
    <p>
      Rich &lt;text&gt;
    </p>
    <p>
      on two lines
    </p>
  </body>
</html>
</richcontent>
<richcontent TYPE="DETAILS">
<html><body><p>details are left out</p></body></html>
</richcontent>
<attribute NAME="owner" VALUE="me"/>
<attribute NAME="due" VALUE="soon"/>
<cloud COLOR="#f0f0f0" SHAPE="ARC"/>
<edge COLOR="#00ff00"/>
<node TEXT="child with a link" ID="ID_2" LINK="https://example.org"/>
</node>
<node TEXT="second" POSITION="left" ID="ID_3" FOLDED="true">
<node TEXT="inside" ID="ID_4"><richcontent TYPE="NOTE"><html><body><p>note</p></body></html></richcontent></node>
</node>
</node>
</map>
